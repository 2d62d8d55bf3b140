#pragma once

#include <mpv/client.h>
#include <mpv/render.h>

#include <memory>

// Owners of libmpv's handles.

struct CMpvHandleDeleter {
    void operator()(mpv_handle *handle) const { mpv_terminate_destroy(handle); }
};
using MpvHandlePtr = std::unique_ptr<mpv_handle, CMpvHandleDeleter>;

struct CMpvRenderContextDeleter {
    void operator()(mpv_render_context *context) const { mpv_render_context_free(context); }
};
using MpvRenderContextPtr = std::unique_ptr<mpv_render_context, CMpvRenderContextDeleter>;

// Strings and nodes that libmpv allocates for the caller.
struct CMpvFreeDeleter {
    void operator()(void *data) const { mpv_free(data); }
};
using MpvStringPtr = std::unique_ptr<char, CMpvFreeDeleter>;

// The video surfaces draw on their render thread and must never wait there for a frame's
// display time: the player core hands frames over when they are due instead
// ("video-timing-offset" 0).
inline int kDoNotWait = 0;
