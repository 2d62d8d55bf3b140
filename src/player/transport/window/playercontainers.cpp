#include "player/transport/window/playercontainers.h"

#include "uisupport/hoverbutton.h"
#include "uisupport/panelpage.h"

namespace {

struct PageHeading {
    int dialogId;
    const char *heading;
};

constexpr PageHeading kInfoPages[] = {
    {372, "미디어 파일 찾기"}, {441, "재생 파일 목록"}, {307, "반복구간 설정"},
    {396, "캡션 편집"},        {443, "오디오 CD 목록"},
};

template <std::size_t N>
void addPages(CContainerWnd &container, const PageHeading (&pages)[N]) {
    for (const PageHeading &page : pages) {
        container.addPage(new CPanelPage(page.dialogId, QString::fromUtf8(page.heading)));
    }
    container.showPage(0);
}

}  // namespace

CInfoContainerWnd::CInfoContainerWnd(QWidget *owner) : CContainerWnd(kDialogId, true, owner) {
    addPages(*this, kInfoPages);
}

CSceneContainerWnd::CSceneContainerWnd(QWidget *owner, QWidget *sceneTreePage,
                                       QWidget *sceneListPage)
    : CContainerWnd(kDialogId, true, owner) {
    addPage(sceneTreePage);
    addPage(sceneListPage);
    showPage(kSceneTreePage);
}

CChannelWnd::CChannelWnd(QWidget *owner) : CContainerWnd(kDialogId, false, owner) {
    setMinimumSize(kMinimum);
    setMaximumSize(kMaximum);
    titleButton(kCloseId)->setTooltip(QStringLiteral("파일 닫기(Alt + Q)"));
    auto *page = new QWidget;
    page->setAutoFillBackground(true);
    page->setPalette(QPalette(Qt::black));
    addPage(page);
}
