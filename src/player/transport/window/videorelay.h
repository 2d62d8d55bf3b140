#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class CPlaybackWnd;
class CPlayerSession;
class CPlayerTransport;

// What the video window does with the engine's notifications: completion and the end of
// stepped playback end the stream, an abort stops, buffering shows its progress on the control
// panel's play-state line every 500 ms, every tick moves the panel's displays, a left click
// plays or pauses. A caption and a right click are passed on as signals.
class CVideoRelay : public QObject {
    Q_OBJECT

public:
    static constexpr int kBufferingIntervalMs = 500;

    CVideoRelay(CPlaybackWnd &engine, CPlayerSession &session, CPlayerTransport &transport,
                QObject *parent = nullptr);

signals:
    // Event 24: the text of a caption of the caption file.
    void captionText(const QString &text);
    // 0x0FBD: the context menu is wanted at the cursor.
    void contextMenuRequested();

private:
    void onGraphEvent(int code, qint64 parameter, const QString &text);
    void onLeftButton();
    void showBufferingProgress();
    void showPlayState(const QString &text);

    CPlaybackWnd &m_engine;
    CPlayerSession &m_session;
    CPlayerTransport &m_transport;
    QTimer m_buffering;
};
