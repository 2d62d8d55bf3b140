#include "player/transport/playermenus.h"

#include "player/transport/playercommands.h"

namespace kivo::player {
namespace {

PlayerMenu optionMenu() {
    return {kOptionMenu,
            QStringLiteral("옵션"),
            {
                MenuItem::command(kBasicTree, QStringLiteral("기본 트리 구성(&T)")),
                MenuItem::command(kStartSegmenter, QStringLiteral("영상 자동 분할(&E)")),
                MenuItem::separator(),
                MenuItem::subMenu(
                    QStringLiteral("재생 모드(&D)"),
                    {MenuItem::command(kNormalPlayMode, QStringLiteral("정상 재생\tF9")),
                     MenuItem::command(kRepeatPlayMode, QStringLiteral("반복 재생\tF10"))}),
                MenuItem::separator(),
                MenuItem::command(kTopMost, QStringLiteral("항상 위(&M)")),
                MenuItem::command(kScreenSaverOff, QStringLiteral("화면보호기 끄기(&S)")),
                MenuItem::separator(),
                MenuItem::command(kSaveDescription, QStringLiteral("SCV 파일 저장   Ctrl + S")),
                MenuItem::command(kSaveDescriptionAs, QStringLiteral("다른 이름으로 저장")),
                MenuItem::separator(),
                MenuItem::command(kAssignMediaFile, QStringLiteral("미디어 파일 지정(&V)")),
                MenuItem::command(kAssignCaptionFile, QStringLiteral("SMI 파일 지정(&I)")),
                MenuItem::command(kConvertSamiToScv, QStringLiteral("SMI -> SCV 변환(&P)")),
                MenuItem::separator(),
                MenuItem::command(kMultiPlayerMode, QStringLiteral("다중 실행 모드(&N)")),
                MenuItem::command(kSeparateMode, QStringLiteral("정보창 분리 모드(&R)")),
                MenuItem::separator(),
                MenuItem::command(kBufferingTime, QStringLiteral("버퍼링 시간 설정(&B)")),
                MenuItem::separator(),
                MenuItem::command(kFileAssociations, QStringLiteral("연결 프로그램 관리(&C)")),
                MenuItem::separator(),
                MenuItem::command(kHomePage, QStringLiteral("KIVO 홈 페이지")),
                MenuItem::command(kAbout, QStringLiteral("KIVO Player 정보(&A)...")),
                MenuItem::command(kHelp, QStringLiteral("도움말(&H)")),
            }};
}

PlayerMenu shortcutMenu() {
    return {
        kShortcutMenu,
        QStringLiteral("단축키"),
        {
            MenuItem::command(kKeyOpen, QStringLiteral("파일열기\tCtrl + O")),
            MenuItem::command(kKeySaveDescription, QStringLiteral("SCV 파일저장\tCtrl + S")),
            MenuItem::command(kKeyCloseFile, QStringLiteral("파일 닫기\tAlt + Q")),
            MenuItem::command(kKeyExit, QStringLiteral("프로그램 종료\tAlt + X")),
            MenuItem::command(kKeyZoomIn, QStringLiteral("화면크게\tCtrl + 위쪽 화살표")),
            MenuItem::command(kKeyZoomOut, QStringLiteral("화면작게\tCtrl + 아래쪽 화살표")),
            MenuItem::command(kKeyVolumeDown, QStringLiteral("소리작게\tAlt + 아래쪽 화살표")),
            MenuItem::command(kKeyVolumeUp, QStringLiteral("소리크게\tAlt + 위쪽 화살표")),
            MenuItem::command(kKeyStepBack, QStringLiteral("한프레임 뒤로\tCtrl + 왼쪽 화살표")),
            MenuItem::command(kKeyStepForward,
                              QStringLiteral("한 프레임 앞으로\tCtrl + 오른쪽 화살표")),
            MenuItem::command(kKeyFullVideo, QStringLiteral("꽉찬화면\tCtrl + Enter")),
            MenuItem::command(kKeyFullScreen, QStringLiteral("전체화면\tAlt + Enter")),
            MenuItem::command(kKeyPlay, QStringLiteral("재생\tF2")),
            MenuItem::command(kKeyPause, QStringLiteral("일시정지\tF3")),
            MenuItem::command(kKeyStop, QStringLiteral("멈춤\tF4")),
            MenuItem::command(kKeySlowBackward, QStringLiteral("천천히 뒤로\tF6")),
            MenuItem::command(kKeyFastBackward, QStringLiteral("빨리 뒤로\tF5")),
            MenuItem::command(kKeySlowForward, QStringLiteral("천천히 앞으로\tF7")),
            MenuItem::command(kKeyFastForward, QStringLiteral("빨리 앞으로\tF8")),
            MenuItem::command(kKeyGoToStart, QStringLiteral("맨 앞으로\tHome")),
            MenuItem::command(kKeyGoToEnd, QStringLiteral("맨 끝으로\tEnd")),
            MenuItem::command(kKeyNormalPlayMode, QStringLiteral("정상재생\tF9")),
            MenuItem::command(kKeyRepeatPlayMode, QStringLiteral("반복재생\tF10")),
            MenuItem::command(kKeySceneSplit, QStringLiteral("장면분할\tAlt + T")),
            MenuItem::command(kKeyStopAndHide, QStringLiteral("멈춤, 숨기기\tPause/Break")),
            MenuItem::command(kKeyArrange, QStringLiteral("플레이어 정렬\tAlt + C")),
            MenuItem::command(kKeyNextFile, QStringLiteral("다음 파일\tPage Down")),
            MenuItem::command(kKeyPreviousFile, QStringLiteral("이전파일\tPage Up")),
            MenuItem::command(kKeyCaptionBoxTaller,
                              QStringLiteral("캡션창 크게\tCtrl + Alt + 위쪽 화살표")),
            MenuItem::command(kKeyCaptionBoxShorter,
                              QStringLiteral("캡션창 작게\tCtrl + Alt + 아래쪽 화살표")),
            MenuItem::command(kKeyToggleControlPanel, QStringLiteral("플레이어 보이기\tCtrl + P")),
        }};
}

// The positive rates go beside ff, the negative ones beside fr, in the order of the rate
// choices.
PlayerMenu rateMenu(int menuId, const QString &title, bool forward) {
    PlayerMenu menu{menuId, title, {}};
    for (const RateChoice &choice : rateChoices()) {
        if ((choice.rate > 0) == forward) {
            menu.items.push_back(MenuItem::command(choice.id, QString::fromLatin1(choice.label)));
        }
    }
    return menu;
}

}  // namespace

const PlayerMenu *playerMenu(int menuId) {
    static const PlayerMenu kOption = optionMenu();
    static const PlayerMenu kShortcut = shortcutMenu();
    static const PlayerMenu kForwardRates =
        rateMenu(kForwardRateMenu, QStringLiteral("SF/FF"), true);
    static const PlayerMenu kBackwardRates =
        rateMenu(kBackwardRateMenu, QStringLiteral("SR/FR"), false);
    switch (menuId) {
        case kOptionMenu:
            return &kOption;
        case kShortcutMenu:
            return &kShortcut;
        case kForwardRateMenu:
            return &kForwardRates;
        case kBackwardRateMenu:
            return &kBackwardRates;
        default:
            return nullptr;
    }
}

int rateMenuOfButton(int buttonId) {
    switch (buttonId) {
        case kFastForwardButton:
            return kForwardRateMenu;
        case kFastBackwardButton:
            return kBackwardRateMenu;
        default:
            return 0;
    }
}

}  // namespace kivo::player
