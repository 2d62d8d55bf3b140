#include "player/shell/fileassociations.h"

#include <QSet>

#include <algorithm>
#include <utility>

namespace kivo::shell {
namespace {

// The types of the boxes, in the dialog's order, each once.
QStringList allTypes() {
    QStringList types;
    for (const CAssociationBox &box : associationBoxes()) {
        for (const QString &type : box.types) {
            if (!types.contains(type)) {
                types.append(type);
            }
        }
    }
    return types;
}

}  // namespace

const std::vector<CAssociationBox> &associationBoxes() {
    static const std::vector<CAssociationBox> boxes = [] {
        const QString movies = QStringLiteral("동영상 파일");
        const QString videos = QStringLiteral("비디오 파일");
        const QString windowsMedia = QStringLiteral("Window Media 파일");
        const QString playlists = QStringLiteral("미디어 재생 목록");
        const QString quickTime = QStringLiteral("QuickTime 파일");
        const QString midi = QStringLiteral("MIDI 파일");
        const QString audio = QStringLiteral("오디오 파일");
        const QString asx = QStringLiteral("audio/x-ms-asx");
        return std::vector<CAssociationBox>{
            {1227,
             QStringLiteral(".mpg/.mpeg/.m1v/.mp2/.mpa/.mpe/.mpa"),
             movies,
             {QStringLiteral("video/mpeg"), QStringLiteral("audio/mp2")}},
            {1229, QStringLiteral(".avi"), videos, {QStringLiteral("video/x-msvideo")}},
            {1236, QStringLiteral(".wmv"), videos, {QStringLiteral("video/x-ms-wmv")}},
            // Video CD files are told apart from other .dat files by their content.
            {1228, QStringLiteral(".dat"), videos, {QStringLiteral("video/x-kivo-vcd")}},
            {1230,
             QStringLiteral(".asf/.wm"),
             windowsMedia,
             {QStringLiteral("application/vnd.ms-asf")}},
            {1238, QStringLiteral(".wma"), windowsMedia, {QStringLiteral("audio/x-ms-wma")}},
            {1231, QStringLiteral(".asx"), playlists, {asx}},
            {1239, QStringLiteral(".wax"), playlists, {asx}},
            {1240, QStringLiteral(".m3u"), playlists, {QStringLiteral("audio/x-mpegurl")}},
            {1241, QStringLiteral(".wvx"), playlists, {asx}},
            {1242, QStringLiteral(".mov/.qt"), quickTime, {QStringLiteral("video/quicktime")}},
            {1244, QStringLiteral(".mid/.rmi/.midi"), midi, {QStringLiteral("audio/midi")}},
            {1246, QStringLiteral(".mp3"), audio, {QStringLiteral("audio/mpeg")}},
            {1247, QStringLiteral(".wav"), audio, {QStringLiteral("audio/x-wav")}},
            {1249, QStringLiteral(".au/.snd"), audio, {QStringLiteral("audio/basic")}},
            {1252,
             QStringLiteral(".aiff/.aif/.aifc"),
             audio,
             {QStringLiteral("audio/x-aiff"), QStringLiteral("audio/x-aifc")}},
        };
    }();
    return boxes;
}

CAssociationStates currentAssociations(const CMimeAppsList &list) {
    const QSet<QString> owned = list.ownedTypes(allTypes());
    CAssociationStates states;
    for (const CAssociationBox &box : associationBoxes()) {
        states[box.id] = std::all_of(box.types.begin(), box.types.end(),
                                     [&](const QString &type) { return owned.contains(type); });
    }
    return states;
}

int applyAssociations(const CMimeAppsList &list, const CAssociationStates &states) {
    QSet<QString> wanted;
    for (const CAssociationBox &box : associationBoxes()) {
        const auto state = states.find(box.id);
        if (state != states.end() && state->second) {
            for (const QString &type : box.types) {
                wanted.insert(type);
            }
        }
    }
    std::vector<CTypeChange> changes;
    for (const QString &type : allTypes()) {
        changes.push_back({type, wanted.contains(type)});
    }
    return list.apply(changes);
}

CMmsTakeover::CMmsTakeover(CMimeAppsList list)
    : m_list(std::move(list)), m_result(m_list.apply({{QString::fromLatin1(kMmsType), true}})) {}

CMmsTakeover::~CMmsTakeover() {
    m_list.apply({{QString::fromLatin1(kMmsType), false}});
}

}  // namespace kivo::shell
