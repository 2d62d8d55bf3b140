#include "player/transport/playermenus.h"

#include "player/transport/playercommands.h"
#include "player/transport/videocommands.h"

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

// The video window's menu. The speed labels put F5 beside fast forward and F8 beside fast
// backward, the other way round from the keys; they are shown as they are written.
PlayerMenu viewMenu() {
    using Item = MenuItem;
    return {
        kViewMenu,
        QStringLiteral("뷰"),
        {
            Item::command(kViewPlay, QStringLiteral("재생               F2")),
            Item::command(kViewPause, QStringLiteral("일시정지         F3")),
            Item::command(kViewStop, QStringLiteral("멈춤               F4")),
            Item::separator(),
            Item::subMenu(
                QStringLiteral("재생 속도(&M)"),
                {Item::command(kKeySlowBackward, QStringLiteral("천천히 뒤로\tF6")),
                 Item::command(kKeySlowForward, QStringLiteral("천천히 앞으로\tF7")),
                 Item::separator(),
                 Item::command(kViewFastForward, QStringLiteral("빨리 앞으로\tF5")),
                 Item::command(kViewFastBackward, QStringLiteral("빨리 뒤로\tF8")),
                 Item::separator(),
                 Item::command(kViewStepBack, QStringLiteral("한 프레임 뒤로\tCtrl + 왼쪽 화살표")),
                 Item::command(kViewStepForward,
                               QStringLiteral("한 프레임 앞으로\tCtrl + 오른쪽 화살표"))}),
            Item::subMenu(QStringLiteral("재생 모드(&D)"),
                          {Item::command(kViewNormalPlayMode, QStringLiteral("정상 재생(&1)")),
                           Item::command(kViewRepeatPlayMode, QStringLiteral("반복 재생(&2)"))}),
            Item::separator(),
            Item::subMenu(
                QStringLiteral("볼륨(&V)"),
                {Item::command(kViewVolumeUp, QStringLiteral("크게(&U)\tAlt + 위쪽 화살표")),
                 Item::command(kViewVolumeDown, QStringLiteral("작게(&D)\tAlt + 아래쪽 화살표")),
                 Item::separator(), Item::command(kViewMute, QStringLiteral("음소거(&M)"))}),
            Item::separator(),
            Item::subMenu(
                QStringLiteral("자막"),
                {Item::command(kViewShowCaption, QStringLiteral("자막 보기(&P)")),
                 Item::command(kViewDetachCaptionBox, QStringLiteral("자막창 분리(&S)")),
                 Item::separator(),
                 Item::command(kViewCaptionBackground, QStringLiteral("바탕색 지정(&B)")),
                 Item::separator(),
                 Item::command(kViewOriginalFont, QStringLiteral("원 폰트 적용(&O)")),
                 Item::command(kViewCaptionFont, QStringLiteral("자막 폰트 설정(&F)")),
                 Item::separator(),
                 Item::command(kKeyCaptionBoxTaller,
                               QStringLiteral("자막창 크게(&U)\tCtrl + Alt + 위쪽화살표")),
                 Item::command(kKeyCaptionBoxShorter,
                               QStringLiteral("자막창 작게(&D)\tCtrl + Alt + 아래쪽화살표"))}),
            Item::subMenu(
                QStringLiteral("영상 효과"),
                {Item::command(kViewEffectsWanted, QStringLiteral("영상필터 사용")),
                 Item::separator(), Item::command(kViewEffectRed, QStringLiteral("빨강")),
                 Item::command(kViewEffectBlue, QStringLiteral("파랑")),
                 Item::command(kViewEffectGreen, QStringLiteral("초록")),
                 Item::command(kViewEffectPoster, QStringLiteral("포스터")),
                 Item::command(kViewEffectGrey, QStringLiteral("흑백")),
                 Item::command(kViewEffectEmboss, QStringLiteral("EMBOSS")),
                 Item::command(kViewEffectXor, QStringLiteral("XOR")),
                 Item::command(kViewEffectBlur, QStringLiteral("BLUR")),
                 Item::command(kViewEffectDarken, QStringLiteral("어둡게")), Item::separator(),
                 Item::command(kViewEffectNone, QStringLiteral("원래 화면"))}),
            Item::separator(),
            Item::command(kTopMost, QStringLiteral("항상 위(&T)")),
            Item::command(kKeyToggleControlPanel, QStringLiteral("플레이어 감춤  Ctrl + P")),
            Item::separator(),
            Item::command(kViewFullScreen, QStringLiteral("전체 화면        Alt + Enter")),
            Item::command(kViewFullVideo, QStringLiteral("꽉찬 화면        Ctrl + Enter")),
            Item::subMenu(QStringLiteral("확대/축소"),
                          {Item::command(kViewRate100, QStringLiteral("100%")), Item::separator(),
                           Item::command(kViewRate50, QStringLiteral("50%")),
                           Item::command(kViewRate200, QStringLiteral("200%")),
                           Item::command(kViewRate300, QStringLiteral("300%"))}),
            Item::separator(),
            Item::command(kViewFreeSize, QStringLiteral("프리 사이즈(&R)")),
            Item::command(kViewAutoScale, QStringLiteral("자동 확대/축소(&C)")),
            Item::separator(),
            Item::subMenu(
                QStringLiteral("이미지 저장(&I)"),
                {Item::command(kViewSaveNativeSize, QStringLiteral("원 사이즈로 저장(&1)")),
                 Item::command(kViewSaveCurrentSize, QStringLiteral("현재 사이즈로 저장(&2)")),
                 Item::separator(),
                 Item::command(kViewSaveChosenSize, QStringLiteral("사용자 정의(&3)"))}),
            Item::separator(),
            Item::command(kViewHelp, QStringLiteral("도움말(&H)")),
            Item::command(kViewAbout, QStringLiteral("KIVO Player 정보(&A)...")),
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
    static const PlayerMenu kView = viewMenu();
    switch (menuId) {
        case kOptionMenu:
            return &kOption;
        case kShortcutMenu:
            return &kShortcut;
        case kForwardRateMenu:
            return &kForwardRates;
        case kBackwardRateMenu:
            return &kBackwardRates;
        case kViewMenu:
            return &kView;
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
