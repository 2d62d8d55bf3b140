#include "player/captions/samiconversion.h"

namespace kivo::captions {

std::unique_ptr<CVideoDescription> descriptionFromSami(std::span<const CSamiEntry> entries,
                                                       const std::string &mediaPath) {
    auto description = std::make_unique<CVideoDescription>();
    description->setMediaPath(mediaPath);
    std::vector<CCaptionEntry> &captions = description->captions();
    captions.reserve(entries.size());
    for (const CSamiEntry &entry : entries) {
        CCaptionEntry caption;
        caption.time = entry.start * 10'000.0;
        caption.text = entry.text;
        captions.push_back(std::move(caption));
    }
    return description;
}

}  // namespace kivo::captions
