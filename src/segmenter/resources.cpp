#include "segmenter/resources.h"

#include "segmenter/shippedweights.h"

namespace kivo {
namespace {

constexpr auto kShippedWeightingFile = shippedweights::weightingFile();

struct ResourceEntry {
    int id;
    std::string_view type;
    std::span<const uint8_t> bytes;
};

constexpr ResourceEntry kResources[] = {
    {kWeightResourceId, kWeightResourceType, kShippedWeightingFile},
};

}  // namespace

std::span<const uint8_t> findResource(int id, std::string_view type) {
    for (const ResourceEntry &entry : kResources) {
        if (entry.id == id && entry.type == type) {
            return entry.bytes;
        }
    }
    return {};
}

}  // namespace kivo
