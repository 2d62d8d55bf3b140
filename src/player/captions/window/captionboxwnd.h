#pragma once

#include <QTextBrowser>
#include <QWidget>

struct CLogFont;
struct CPlayerSettings;
class COVHoverButton;
class COVRegistry;
class CPlayerSession;
class CVideoDescription;

// The page of the caption box: rich text only. Nothing is fetched from outside the machine
// (an image or style sheet of a caption that names an address stays empty), links are not
// followed, and there are no scripts to run.
class CCaptionBrowser : public QTextBrowser {
    Q_OBJECT

public:
    explicit CCaptionBrowser(QWidget *parent = nullptr);

    QVariant loadResource(int type, const QUrl &name) override;
};

// The caption box (dialog 461): the caption shown now (the session's), in the user's font and
// colours, or as its own HTML with the original-font setting. Docked, it is a strip at the
// bottom of the video window whose height the video window gives it; detached, a skinned
// window of its own, sized and moved by the user, whose placement is kept under "CaptionBox".
//
// While a file plays, the session's position updates choose the caption of the description to
// show: the caption whose time the position reaches within 0.125 s before it.
class CCaptionBoxWnd : public QWidget {
    Q_OBJECT

public:
    static constexpr int kDialogId = 461;
    static constexpr int kBrowserId = 1207;
    static constexpr int kCloseButtonId = 1206;
    static constexpr char kPlacementName[] = "CaptionBox";

    // videoWindow: the parent of the docked strip and the owner of the detached window.
    CCaptionBoxWnd(CPlayerSession &session, CPlayerSettings &settings, QWidget *videoWindow);

    // Where the detached placement is kept (none: not kept).
    void setPlacementStore(COVRegistry *registry) { m_registry = registry; }

    // Colours are colour references (0x00BBGGRR), kept in the settings.
    void setBackgroundColour(int colourRef);
    void setTextColour(int colourRef);
    // The font (height in pixels); shows the caption again.
    void setCaptionFont(const CLogFont &font);
    void setOriginalFont(bool on);
    // The caption to show (also what the session's caption shown now brings).
    void showText(const QString &text);
    const QString &text() const { return m_text; }
    // What the page holds for the caption now.
    QString shownHtml() const;
    CCaptionBrowser &browser() { return *m_browser; }

    // Docked or detached; a detached box is shown at its kept placement when `visible`, a
    // docked one is laid out by the video window.
    void setDetached(bool detached, bool visible);
    bool isDetached() const { return isWindow(); }
    // Detached only: shown at its kept placement, or hidden with its placement kept.
    void showDetached();
    void hideDetached();

    // The caption of the open description at a playback position (100-ns units) becomes the
    // one shown; nothing changes where no caption is due.
    void showCaptionAt(double position);

signals:
    // The close button: the user wants the captions hidden.
    void closeRequested();

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void applyColours();
    void layOut();
    void keepPlacement();

    CPlayerSession &m_session;
    CPlayerSettings &m_settings;
    QWidget *m_videoWindow;
    CCaptionBrowser *m_browser;
    COVHoverButton *m_close;
    COVRegistry *m_registry = nullptr;
    QString m_text;
    // The position of the last update, and the description it was in.
    double m_lastPosition = -1;
    const CVideoDescription *m_lastDescription = nullptr;
};
