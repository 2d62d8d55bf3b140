#include "player/transport/playerfilters.h"

namespace kivo::player {

QString mediaFilter(bool mediaOnly) {
    QString filter = QStringLiteral("모든 미디어 파일(모든 형식)|");
    if (!mediaOnly) {
        filter += QStringLiteral("*.scv;");
    }
    filter += QStringLiteral(
        "*.mpeg;*.mpg;*.m1v;*.mp2;*.mpa;*.mpe;*.avi;*.wmv;*.dat;*.asf;*.wm;*.wma;*.wmv;"
        "*.asx;*.wax;*.m3u;*.wvx;*.mov;*.qt;*.mid;*.rmi;*.midi;"
        "*.mp3;*.wav;*.snd;*.au;*.aif;*.aifc;*.aiff;"
        "*.mp4;*.m4v;*.mkv;*.webm;*.ogv;*.flv;*.ts;*.m2ts;*.mts;*.3gp;*.vob;"
        "*.m4a;*.aac;*.flac;*.ogg;*.oga;*.opus;*.m3u8;|");
    if (!mediaOnly) {
        filter += QStringLiteral("KIVO 영상분할 파일 (*.scv)|*.scv;|");
    }
    filter += QStringLiteral(
        "동영상 파일 (*.mpeg;*.mpg;*.m1v;*.mp2;*.mpa;*.mpe)|*.mpeg;*.mpg;*.m1v;*.mp2;*.mpa;*.mpe;|"
        "비디오 파일 (*.avi;*.wmv;*.dat)|*.avi;*.wmv;*.dat;|"
        "Windows Media 파일 (*.asf;*.wm;*.wma)|*.asf;*.wm;*.wma;|"
        "미디어 재생목록 (*.asx;*.wax;*.m3u;*.wvx;)|*.asx;*.wax;*.m3u;*.wvx;|"
        "QuickTime 파일 (*.mov;*.qt)|*.mov;*.qt;|"
        "MIDI 파일 (*.mid;*.rmi;*.midi)|*.mid;*.rmi;*.midi;|"
        "오디오 파일 (*.mp3;*.wav;*.snd;*.au;*.aif;*.aifc;*.aiff)|"
        "*.mp3;*.wav;*.snd;*.au;*.aif;*.aifc;*.aiff;|"
        "모든 파일 (*.*)|*.*;|");
    return filter;
}

QString sceneSaveFilter() {
    return QStringLiteral("KIVO 영상분할 파일 (*.scv)|*.scv;|모든 파일 (*.*)|*.*;|");
}

QString sceneOpenFilter() {
    return QStringLiteral("KIVO 영상분할 파일 (*.scv)|*.scv;|");
}

}  // namespace kivo::player
