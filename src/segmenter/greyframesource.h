#pragma once

class CDib;

// Where the cut detector gets a grey picture again when several cut candidates compete and it
// must compare the frames around them.
class CGreyFrameSource {
public:
    virtual ~CGreyFrameSource() = default;
    // The 8-bit grey picture of `frame`, or null when it cannot be fetched. The picture stays
    // valid until the source moves on to the next frame of the walk.
    virtual const CDib *greyFrame(double frame) = 0;
    // `frame` will be asked for again once the walk is further on: keep it at hand (one frame
    // at a time; holding another lets the last one go).
    virtual void hold(double frame) = 0;
};
