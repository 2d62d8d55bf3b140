#pragma once

#include <QSize>
#include <QString>

#include "player/channel/channellayout.h"
#include "uisupport/containerwnd.h"

class CChannelBrowser;
class IPlayerControl;
class QLabel;
class QToolBar;

// The channel window "채널 서비스에 오신걸 환영합니다.": the skin's frame around a caption, a
// toolbar (back, forward, stop, refresh, home) and the web browser. Its first show opens the
// channel address; later shows keep the page. A media link the user clicks is opened by the player.
// The browser is made on the first show, so a player that never shows the window never starts
// the browser engine.
class CChannelWnd : public CContainerWnd {
    Q_OBJECT

public:
    static constexpr int kDialogId = 428;
    static constexpr QSize kMinimum = kivo::channel::kMinimumSize;
    static constexpr QSize kMaximum = kivo::channel::kMaximumSize;
    // The toolbar's commands.
    enum Command {
        kBack = 32906,
        kForward = 32907,
        kStop = 32908,
        kRefresh = 32909,
        kHome = 32910
    };

    // programFolder: where KIVOP.ini and the shipped channel page are looked for.
    CChannelWnd(QWidget *owner, IPlayerControl &control, QString programFolder);

    // The channel button: shows the window, or hides it when it is shown. Without a browser
    // built in, it opens the channel address in the desktop's browser instead. 1 when done.
    int toggleShown();
    // Runs a toolbar command; 0 when it is greyed or there is no browser yet.
    int runCommand(int id);
    bool isCommandEnabled(int id) const;
    // Null until the window was first shown.
    CChannelBrowser *browser() const { return m_browser; }

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void addCommand(int id, int icon, const QString &tooltip);
    void layOut();

    IPlayerControl &m_control;
    QString m_programFolder;
    QWidget *m_page;
    QLabel *m_caption;
    QToolBar *m_toolbar;
    CChannelBrowser *m_browser = nullptr;
    bool m_firstShow = true;
};
