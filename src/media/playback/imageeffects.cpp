#include "media/playback/imageeffects.h"

std::optional<QString> effectGraph(int mode) {
    switch (mode) {
        case kEffectNone:
            return QStringLiteral("null");
        case kEffectRedOnly:
            return QStringLiteral("colorchannelmixer=rr=1:gg=0:bb=0");
        case kEffectGreenOnly:
            return QStringLiteral("colorchannelmixer=rr=0:gg=1:bb=0");
        case kEffectBlueOnly:
            return QStringLiteral("colorchannelmixer=rr=0:gg=0:bb=1");
        case kEffectEmboss:
            // Relief of the brightness: the difference along the diagonal around mid grey.
            return QStringLiteral("format=gray,convolution=0m='-1 0 0 0 0 0 0 0 1':0bias=128");
        case kEffectPosterise:
            // Eight levels per channel: only the top three bits of each component stay.
            return QStringLiteral(
                "lutrgb=r='bitand(val,224)':g='bitand(val,224)':b='bitand(val,224)'");
        case kEffectGrey:
            return QStringLiteral("format=gray");
        case kEffectDarken:
            return QStringLiteral("lutrgb=r='val/2':g='val/2':b='val/2'");
        case kEffectXor:
            // Every bit of every component flipped, which is the photographic negative.
            return QStringLiteral("lutrgb=r=negval:g=negval:b=negval");
        case kEffectBlur:
            return QStringLiteral("boxblur=2:1");
        default:
            return std::nullopt;
    }
}

std::optional<QString> effectFilterChain(int mode) {
    const std::optional<QString> graph = effectGraph(mode);
    if (!graph) {
        return std::nullopt;
    }
    return QStringLiteral("@%1:lavfi=[%2]").arg(QLatin1String(kEffectsFilterLabel), *graph);
}
