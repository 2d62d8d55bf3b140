#include "player/remote/kivoctlcommands.h"

#include <array>

#include "player/remote/remoterequests.h"

namespace kivo::remote {
namespace {

struct CWord {
    const char *word;
    ERequest request;
    int32_t parameter;
};

constexpr std::array kWords{
    CWord{"play", ERequest::Play, 0},
    CWord{"pause", ERequest::Pause, 0},
    CWord{"stop", ERequest::Stop, 0},
    CWord{"prev", ERequest::Previous, 0},
    CWord{"next", ERequest::Next, 0},
    CWord{"state", ERequest::State, 0},
    CWord{"caption", ERequest::Caption, 0},
    CWord{"forward", ERequest::Forward, 0},
    CWord{"back", ERequest::Back, 0},
    CWord{"faster", ERequest::Faster, 1},
    CWord{"show-finder", ERequest::ShowFinder, 0},
    CWord{"show-playlist", ERequest::ShowPlaylist, 0},
    CWord{"show-scenes", ERequest::ShowScenes, 0},
    CWord{"hide-info", ERequest::HideInfo, 0},
    CWord{"maximize", ERequest::Maximize, 0},
    CWord{"hide-video", ERequest::HideVideo, 0},
    CWord{"zoom-in", ERequest::ZoomIn, 0},
    CWord{"zoom-out", ERequest::ZoomOut, 0},
    CWord{"split", ERequest::Split, 0},
    CWord{"channel", ERequest::Channel, 0},
};

// Decimal, or hexadecimal with 0x; the whole 32 bits.
std::optional<qint64> number(const QString &text, qint64 lowest, qint64 highest) {
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 0);
    if (!ok || value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<CCtlCommand> parseCtlCommand(const QStringList &words, QString &error) {
    if (words.isEmpty()) {
        error = QStringLiteral("no command given");
        return std::nullopt;
    }
    const QString &verb = words.first();
    if (verb == u"set-caption") {
        if (words.size() != 2) {
            error = QStringLiteral("set-caption takes one text");
            return std::nullopt;
        }
        return CCtlCommand{uint32_t(ERequest::SetCaption), 0, words[1]};
    }
    if (verb == u"raw") {
        if (words.size() < 2 || words.size() > 3) {
            error = QStringLiteral("raw takes a code and an optional parameter");
            return std::nullopt;
        }
        const auto code = number(words[1], 0, UINT32_MAX);
        const auto parameter =
            words.size() == 3 ? number(words[2], INT32_MIN, INT32_MAX) : std::optional<qint64>(0);
        if (!code || !parameter) {
            error = QStringLiteral("raw: not a number: ") + words.mid(1).join(u' ');
            return std::nullopt;
        }
        return CCtlCommand{uint32_t(*code), int32_t(*parameter), std::nullopt};
    }
    for (const CWord &word : kWords) {
        if (verb == QLatin1StringView(word.word)) {
            if (words.size() != 1) {
                error = verb + QStringLiteral(" takes no arguments");
                return std::nullopt;
            }
            return CCtlCommand{uint32_t(word.request), word.parameter, std::nullopt};
        }
    }
    error = QStringLiteral("unknown command: ") + verb;
    return std::nullopt;
}

QString ctlUsage() {
    QStringList verbs;
    for (const CWord &word : kWords) {
        verbs << QLatin1StringView(word.word);
    }
    return QStringLiteral("usage: kivoctl [--timeout MS] COMMAND\n  COMMAND: ") + verbs.join(u'|') +
           QStringLiteral("\n           set-caption TEXT | raw CODE [WPARAM]\n");
}

}  // namespace kivo::remote
