#pragma once

#include <QUrl>
#include <QWidget>

// The web browser inside the channel window. The program is built with Qt WebEngine when it is
// installed; without it there is no browser, and the channel address opens in the desktop's
// browser instead. One factory makes it, so nothing else depends on Qt WebEngine.
class CChannelBrowser : public QWidget {
    Q_OBJECT

public:
    using QWidget::QWidget;

    virtual void navigate(const QUrl &address) = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void stop() = 0;
    virtual void refresh() = 0;
    virtual QUrl address() const = 0;

signals:
    // The history changed: whether there is a page to go back or forward to.
    void historyChanged(bool canGoBack, bool canGoForward);
    // The user chose a media link (or a media download): the player opens it, not the browser.
    void mediaLinkChosen(const QUrl &address);
    void loadFinished(bool ok);
};

namespace kivo::channel {

// The program was built with a browser.
bool hasBrowser();

// A new browser, or null when the program was built without one. The first one readies the
// browser engine for the process (its sandbox stays on unless the process runs as root, which
// the sandbox refuses).
CChannelBrowser *createBrowser(QWidget *parent);

}  // namespace kivo::channel
