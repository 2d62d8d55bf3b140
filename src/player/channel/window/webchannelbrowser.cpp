#include "player/channel/window/webchannelbrowser.h"

#include <unistd.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWebEngineDownloadRequest>
#include <QWebEngineHistory>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include "platform/log.h"

using kivo::channel::Navigation;

namespace {

// The engine's sandbox refuses to run for root (containers, CI); it is turned off then, and
// only then, before the engine starts.
void readyEngine() {
    static const bool ready = [] {
        if (::geteuid() == 0) {
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
            kivo::logWarning("channel",
                             "running as root: the browser's sandbox is off (it refuses root)");
        }
        return true;
    }();
    (void)ready;
}

// A pop-up the page asked for: its first address goes to the channel page, and the pop-up
// goes away without ever being shown.
class CPopupCatcher : public QWebEnginePage {
public:
    CPopupCatcher(QWebEngineProfile *profile, CChannelWebPage *channel)
        : QWebEnginePage(profile, channel), m_channel(channel) {}

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool) override {
        if (!m_taken) {
            m_taken = true;
            switch (m_channel->decide(url, type)) {
                case Navigation::Browse:
                    m_channel->load(url);
                    break;
                case Navigation::OpenInPlayer:
                    emit m_channel->mediaLinkChosen(url);
                    break;
                case Navigation::Refuse:
                    break;
            }
            deleteLater();
        }
        return false;
    }

private:
    CChannelWebPage *m_channel;
    bool m_taken = false;
};

}  // namespace

CChannelWebPage::CChannelWebPage(QWebEngineProfile *profile, std::function<bool()> userAction,
                                 QObject *parent)
    : QWebEnginePage(profile, parent), m_userAction(std::move(userAction)) {}

Navigation CChannelWebPage::decide(const QUrl &address, NavigationType type) const {
    // The toolbar's own moves are the user's; anything else counts when the user just clicked
    // or typed in the page.
    const bool user = type == NavigationTypeTyped || type == NavigationTypeBackForward ||
                      type == NavigationTypeReload || m_userAction();
    return kivo::channel::decideNavigation(address, user);
}

bool CChannelWebPage::acceptNavigationRequest(const QUrl &url, NavigationType type, bool) {
    switch (decide(url, type)) {
        case Navigation::Browse:
            return true;
        case Navigation::OpenInPlayer:
            emit mediaLinkChosen(url);
            return false;
        case Navigation::Refuse:
            kivo::logInfo("channel", "refused: " + url.toDisplayString().toStdString());
            return false;
    }
    return false;
}

QWebEnginePage *CChannelWebPage::createWindow(WebWindowType) {
    return new CPopupCatcher(profile(), this);
}

namespace kivo::channel {

bool hasBrowser() {
    return true;
}

CChannelBrowser *createBrowser(QWidget *parent) {
    readyEngine();
    return new CWebChannelBrowser(parent);
}

}  // namespace kivo::channel

CWebChannelBrowser::CWebChannelBrowser(QWidget *parent)
    : CChannelBrowser(parent),
      m_profile(new QWebEngineProfile),
      m_page(new CChannelWebPage(m_profile, [this] { return isUserAction(); })),
      m_view(new QWebEngineView(this)) {
    QWebEngineSettings *settings = m_page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    m_view->setPage(m_page);
    connect(m_page, &CChannelWebPage::mediaLinkChosen, this, &CChannelBrowser::mediaLinkChosen);
    connect(m_page, &QWebEnginePage::loadFinished, this, &CChannelBrowser::loadFinished);
    connect(m_page, &QWebEnginePage::urlChanged, this, [this] {
        emit historyChanged(m_page->history()->canGoBack(), m_page->history()->canGoForward());
    });
    connect(m_profile, &QWebEngineProfile::downloadRequested, this,
            &CWebChannelBrowser::takeDownload);
    // Clicks and keys anywhere in the view (its children draw the page) make a navigation
    // that follows them the user's.
    qApp->installEventFilter(this);
}

CWebChannelBrowser::~CWebChannelBrowser() {
    qApp->removeEventFilter(this);
    // The page goes before its profile.
    delete m_view;
    delete m_page;
    delete m_profile;
}

void CWebChannelBrowser::navigate(const QUrl &address) {
    m_page->load(address);
}

void CWebChannelBrowser::goBack() {
    m_page->triggerAction(QWebEnginePage::Back);
}

void CWebChannelBrowser::goForward() {
    m_page->triggerAction(QWebEnginePage::Forward);
}

void CWebChannelBrowser::stop() {
    m_page->triggerAction(QWebEnginePage::Stop);
}

void CWebChannelBrowser::refresh() {
    m_page->triggerAction(QWebEnginePage::Reload);
}

QUrl CWebChannelBrowser::address() const {
    return m_page->url();
}

bool CWebChannelBrowser::isUserAction() const {
    return m_sinceUserInput.isValid() && m_sinceUserInput.elapsed() < kivo::channel::kUserActionMs;
}

bool CWebChannelBrowser::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseButtonPress || type == QEvent::KeyPress) && watched->isWidgetType() &&
        m_view->isAncestorOf(static_cast<QWidget *>(watched))) {
        m_sinceUserInput.start();
    }
    return false;
}

void CWebChannelBrowser::resizeEvent(QResizeEvent *) {
    m_view->setGeometry(rect());
}

void CWebChannelBrowser::takeDownload(QWebEngineDownloadRequest *download) {
    // The browser saves nothing; a media file the user asked for plays instead.
    const Navigation decision =
        kivo::channel::decideDownload(download->url(), download->mimeType(), isUserAction());
    download->cancel();
    if (decision == Navigation::OpenInPlayer) {
        emit mediaLinkChosen(download->url());
    } else {
        kivo::logInfo("channel",
                      "download dropped: " + download->url().toDisplayString().toStdString());
    }
}
