#include "player/captions/window/captionboxwnd.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "player/captions/captionlist.h"
#include "player/captions/window/captionboxtext.h"
#include "player/shell/playersettings.h"
#include "player/transport/playersession.h"
#include "scene/videodescription.h"
#include "uisupport/dlgmanager.h"
#include "uisupport/hoverbutton.h"
#include "uisupport/registry.h"
#include "uisupport/skin.h"
#include "uisupport/sysinfo.h"
#include "uisupport/videoframeart.h"

namespace {

// The detached window's frame: the video window's bars, as wide as they are there.
constexpr int kTopBar = 24;
constexpr int kBottomBar = 20;
constexpr int kSideBar = 15;
constexpr int kSizingBorder = 5;
// With nothing kept, the detached window lies across the bottom of the work area.
constexpr int kDefaultDetachedHeight = 100;
constexpr QSize kDetachedMinimum{120, 60};

}  // namespace

CCaptionBrowser::CCaptionBrowser(QWidget *parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QVariant CCaptionBrowser::loadResource(int type, const QUrl &name) {
    // A caption is text from a file or a download: what it names on the network stays out.
    if (!name.scheme().isEmpty() && !name.isLocalFile()) {
        return {};
    }
    return QTextBrowser::loadResource(type, name);
}

CCaptionBoxWnd::CCaptionBoxWnd(CPlayerSession &session, CPlayerSettings &settings,
                               QWidget *videoWindow)
    : QWidget(videoWindow),
      m_session(session),
      m_settings(settings),
      m_videoWindow(videoWindow),
      m_browser(new CCaptionBrowser(this)),
      m_close(new COVHoverButton(this)) {
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));
    setWindowTitle(QStringLiteral("자막"));
    m_browser->setObjectName(QStringLiteral("control%1").arg(kBrowserId));
    m_close->setObjectName(QStringLiteral("control%1").arg(kCloseButtonId));
    m_close->setText(QStringLiteral("x"));
    m_close->loadBitmaps(kivo::skin::kCloseButton, kivo::skin::kCloseButtonHover,
                         kivo::skin::kCloseButton, kivo::skin::kCloseButton);
    connect(m_close, &QAbstractButton::clicked, this, [this] {
        hideDetached();
        emit closeRequested();
    });
    connect(&session, &CPlayerSession::captionTextChanged, this, &CCaptionBoxWnd::showText);
    connect(&session, &CPlayerSession::positionUpdated, this, &CCaptionBoxWnd::showCaptionAt);
    m_text = session.captionText();
    applyColours();
    layOut();
}

void CCaptionBoxWnd::setBackgroundColour(int colourRef) {
    m_settings.captionBackground = colourRef;
    applyColours();
}

void CCaptionBoxWnd::setTextColour(int colourRef) {
    m_settings.captionText = colourRef;
    applyColours();
}

void CCaptionBoxWnd::setCaptionFont(const CLogFont &font) {
    m_settings.captionFont = font;
    showText(m_text);
}

void CCaptionBoxWnd::setOriginalFont(bool on) {
    m_settings.originalFont = on;
    showText(m_text);
}

void CCaptionBoxWnd::applyColours() {
    const QString background = kivo::captions::htmlColour(m_settings.captionBackground);
    const QString foreground = kivo::captions::htmlColour(m_settings.captionText);
    QPalette palette = m_browser->palette();
    palette.setColor(QPalette::Base, QColor(background));
    palette.setColor(QPalette::Text, QColor(foreground));
    m_browser->setPalette(palette);
    m_browser->document()->setDefaultStyleSheet(
        QStringLiteral("body { background-color:%1; color:%2; }").arg(background, foreground));
    showText(m_text);
}

void CCaptionBoxWnd::showText(const QString &text) {
    m_text = text;
    m_browser->setHtml(shownHtml());
}

QString CCaptionBoxWnd::shownHtml() const {
    return m_settings.originalFont
               ? m_text
               : kivo::captions::styledParagraph(m_text, m_settings.captionFont);
}

void CCaptionBoxWnd::showCaptionAt(double position) {
    const CVideoDescription *description = m_session.description();
    if (description == nullptr) {
        return;
    }
    // Position updates come every eighth of a second, as long as a caption's window: a late
    // one may step over a window, and that caption is shown all the same.
    const double previous = description == m_lastDescription ? m_lastPosition : position;
    m_lastDescription = description;
    m_lastPosition = position;
    const int found =
        kivo::captions::findCaptionReached(description->captions(), previous, position);
    if (found >= 0) {
        m_session.setCaptionText(
            QString::fromStdString(description->captions()[size_t(found)].text));
    }
}

void CCaptionBoxWnd::setDetached(bool detached, bool visible) {
    if (detached == isDetached()) {
        if (detached && visible) {
            showDetached();
        }
        return;
    }
    if (detached) {
        setParent(m_videoWindow, Qt::Tool | Qt::FramelessWindowHint);
        setMinimumSize(kDetachedMinimum);
        if (visible) {
            showDetached();
        }
    } else {
        keepPlacement();
        setParent(m_videoWindow, Qt::Widget);
        setMinimumSize(0, 0);
    }
    layOut();
}

void CCaptionBoxWnd::showDetached() {
    if (!isDetached()) {
        return;
    }
    const QRect workArea = COVSysInfo::getWorkArea(this);
    CWindowPlacement placement;
    std::optional<QRect> frame;
    if (m_registry != nullptr &&
        m_registry->getDlgPosInfo(QString::fromLatin1(kPlacementName), placement)) {
        frame = restoredPlacement(placement.normalPosition, workArea, kDetachedMinimum, true);
    }
    if (!frame) {
        frame = QRect(workArea.left(), workArea.bottom() + 1 - kDefaultDetachedHeight,
                      workArea.width(), kDefaultDetachedHeight);
    }
    COVDlgManager::setFrameRect(this, *frame);
    show();
}

void CCaptionBoxWnd::hideDetached() {
    if (isDetached() && isVisible()) {
        keepPlacement();
        hide();
    }
}

void CCaptionBoxWnd::keepPlacement() {
    if (m_registry != nullptr && isDetached() && isVisible()) {
        COVDlgManager::setDlgPosInfo(*m_registry, QString::fromLatin1(kPlacementName), this);
    }
}

void CCaptionBoxWnd::layOut() {
    const int w = width();
    const int h = height();
    m_close->setVisible(isDetached());
    if (isDetached()) {
        m_close->setGeometry(w - 16, 4, 16, 16);
        m_browser->setGeometry(kSideBar, kTopBar, w - 2 * kSideBar, h - kTopBar - kBottomBar);
    } else {
        // Its scroll bar lies outside the strip.
        m_browser->setGeometry(0, 0, w + 16, h);
    }
}

void CCaptionBoxWnd::resizeEvent(QResizeEvent *event) {
    QWidget::resizeEvent(event);
    layOut();
}

void CCaptionBoxWnd::paintEvent(QPaintEvent *) {
    if (!isDetached()) {
        return;
    }
    namespace frame = kivo::skin::videoframe;
    QPainter painter(this);
    const int w = width();
    const int h = height();
    frame::drawBar(painter, kivo::skin::bitmap(kivo::skin::kVideoTopBar), {0, 0, w, kTopBar});
    frame::drawBar(painter, kivo::skin::bitmap(kivo::skin::kVideoBottomBar),
                   {0, h - kBottomBar, w, kBottomBar});
    frame::drawBar(painter, kivo::skin::bitmap(kivo::skin::kVideoLeftBar),
                   {0, kTopBar, kSideBar, h - kTopBar - kBottomBar});
    frame::drawBar(painter, kivo::skin::bitmap(kivo::skin::kVideoRightBar),
                   {w - kSideBar, kTopBar, kSideBar, h - kTopBar - kBottomBar});
}

void CCaptionBoxWnd::mousePressEvent(QMouseEvent *event) {
    if (!isDetached() || event->button() != Qt::LeftButton || windowHandle() == nullptr) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int hit = COVDlgManager::hitTest(this, event->position().toPoint(), kSizingBorder);
    if (!COVDlgManager::startSizing(this, hit)) {
        windowHandle()->startSystemMove();
    }
}
