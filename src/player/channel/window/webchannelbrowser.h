#pragma once

#include <QElapsedTimer>
#include <QWebEnginePage>

#include "player/channel/navigationrules.h"
#include "player/channel/window/channelbrowser.h"

class QWebEngineDownloadRequest;
class QWebEngineProfile;
class QWebEngineView;

// The channel page: every navigation passes the channel's rules. Pop-up windows never open: the
// address a pop-up would show is offered to the channel page itself.
class CChannelWebPage : public QWebEnginePage {
    Q_OBJECT

public:
    // userAction tells whether the user clicked or typed in the browser just now.
    CChannelWebPage(QWebEngineProfile *profile, std::function<bool()> userAction,
                    QObject *parent = nullptr);

    // Applies the rules to an address the page or a pop-up wants to go to.
    kivo::channel::Navigation decide(const QUrl &address, NavigationType type) const;

signals:
    void mediaLinkChosen(const QUrl &address);

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override;
    QWebEnginePage *createWindow(WebWindowType type) override;

private:
    std::function<bool()> m_userAction;
};

// The browser over Qt WebEngine, on a profile of its own that keeps nothing on disk.
class CWebChannelBrowser : public CChannelBrowser {
    Q_OBJECT

public:
    explicit CWebChannelBrowser(QWidget *parent = nullptr);
    ~CWebChannelBrowser() override;

    void navigate(const QUrl &address) override;
    void goBack() override;
    void goForward() override;
    void stop() override;
    void refresh() override;
    QUrl address() const override;

    QWebEngineView *view() const { return m_view; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void takeDownload(QWebEngineDownloadRequest *download);
    bool isUserAction() const;

    QWebEngineProfile *m_profile;
    CChannelWebPage *m_page;
    QWebEngineView *m_view;
    QElapsedTimer m_sinceUserInput;
};
