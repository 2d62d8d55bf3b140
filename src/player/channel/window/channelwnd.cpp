#include "player/channel/window/channelwnd.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QStyle>
#include <QToolBar>

#include "player/channel/projectpages.h"
#include "player/channel/window/channelbrowser.h"
#include "player/transport/playercontrol.h"
#include "uisupport/hoverbutton.h"

using kivo::channel::channelLayout;

CChannelWnd::CChannelWnd(QWidget *owner, IPlayerControl &control, QString programFolder)
    : CContainerWnd(kDialogId, false, owner),
      m_control(control),
      m_programFolder(std::move(programFolder)),
      m_page(new QWidget),
      m_caption(new QLabel(QStringLiteral("채널 서비스에 오신걸 환영합니다."), this)),
      m_toolbar(new QToolBar(this)) {
    setWindowTitle(m_caption->text());
    setMinimumSize(kMinimum);
    setMaximumSize(kMaximum);
    titleButton(kCloseId)->setTooltip(QStringLiteral("파일 닫기(Alt + Q)"));
    // The page fills the frame's inside; the caption, toolbar and browser lie on it.
    m_page->setAutoFillBackground(true);
    addPage(m_page);
    m_caption->setParent(m_page);
    m_toolbar->setParent(m_page);
    m_toolbar->setIconSize(QSize(16, 16));
    m_toolbar->setMovable(false);
    addCommand(kBack, QStyle::SP_ArrowBack, QStringLiteral("뒤로"));
    addCommand(kForward, QStyle::SP_ArrowForward, QStringLiteral("앞으로"));
    m_toolbar->addSeparator();
    addCommand(kStop, QStyle::SP_BrowserStop, QStringLiteral("중지"));
    addCommand(kRefresh, QStyle::SP_BrowserReload, QStringLiteral("새로 고침"));
    m_toolbar->addSeparator();
    addCommand(kHome, QStyle::SP_DirHomeIcon, QStringLiteral("채널 홈"));
    for (const int id : {kBack, kForward}) {
        m_toolbar->findChild<QAction *>(QStringLiteral("button%1").arg(id))->setEnabled(false);
    }
}

void CChannelWnd::addCommand(int id, int icon, const QString &tooltip) {
    QAction *action = m_toolbar->addAction(style()->standardIcon(QStyle::StandardPixmap(icon)),
                                           tooltip, this, [this, id] { runCommand(id); });
    action->setObjectName(QStringLiteral("button%1").arg(id));
}

bool CChannelWnd::isCommandEnabled(int id) const {
    const auto *action = m_toolbar->findChild<QAction *>(QStringLiteral("button%1").arg(id));
    return action != nullptr && action->isEnabled();
}

int CChannelWnd::runCommand(int id) {
    if (m_browser == nullptr || !isCommandEnabled(id)) {
        return 0;
    }
    switch (id) {
        case kBack:
            m_browser->goBack();
            return 1;
        case kForward:
            m_browser->goForward();
            return 1;
        case kStop:
            m_browser->stop();
            return 1;
        case kRefresh:
            m_browser->refresh();
            return 1;
        case kHome:
            m_browser->navigate(kivo::channel::channelAddress(m_programFolder));
            return 1;
        default:
            return 0;
    }
}

int CChannelWnd::toggleShown() {
    if (!kivo::channel::hasBrowser()) {
        const QUrl address = kivo::channel::channelAddress(m_programFolder);
        return address.isValid() && QDesktopServices::openUrl(address) ? 1 : 0;
    }
    setVisible(!isVisible());
    return 1;
}

void CChannelWnd::showEvent(QShowEvent *event) {
    CContainerWnd::showEvent(event);
    if (!m_firstShow) {
        return;
    }
    m_firstShow = false;
    m_browser = kivo::channel::createBrowser(m_page);
    if (m_browser == nullptr) {
        return;
    }
    connect(m_browser, &CChannelBrowser::historyChanged, this, [this](bool back, bool forward) {
        m_toolbar->findChild<QAction *>(QStringLiteral("button%1").arg(kBack))->setEnabled(back);
        m_toolbar->findChild<QAction *>(QStringLiteral("button%1").arg(kForward))
            ->setEnabled(forward);
    });
    // Queued: the browser engine asks from inside its navigation, and opening runs an event loop
    // of its own until the media is open.
    connect(
        m_browser, &CChannelBrowser::mediaLinkChosen, this,
        [this](const QUrl &address) {
            m_control.openFile(address.isLocalFile() ? address.toLocalFile() : address.toString(),
                               true);
        },
        Qt::QueuedConnection);
    layOut();
    m_browser->show();
    update();
    const QUrl address = kivo::channel::channelAddress(m_programFolder);
    if (address.isValid()) {
        m_browser->navigate(address);
    }
}

void CChannelWnd::resizeEvent(QResizeEvent *event) {
    CContainerWnd::resizeEvent(event);
    layOut();
}

void CChannelWnd::layOut() {
    const kivo::channel::ChannelLayout layout = channelLayout(size());
    // The parts are placed in window coordinates; the page starts at the frame's inside.
    const QPoint page = m_page->pos();
    titleButton(kCloseId)->move(layout.closeButton);
    m_caption->move(layout.caption - page);
    m_caption->adjustSize();
    m_toolbar->setGeometry(layout.toolbar.translated(-page));
    if (m_browser != nullptr) {
        m_browser->setGeometry(layout.browser.translated(-page));
    }
}
