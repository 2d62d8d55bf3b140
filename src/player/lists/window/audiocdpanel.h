#pragma once

#include <QString>
#include <QThread>
#include <QTimer>

#include <memory>

#include "player/lists/cddevice.h"
#include "player/lists/cdplayorder.h"
#include "player/lists/mixer.h"
#include "player/transport/playertransport.h"
#include "uisupport/panelpage.h"

class CCdEngineSound;
class CPlayerSession;
class COVFlatButton;
class COVSeparator;
class QCheckBox;
class QMenu;
class QTreeWidget;

// Reads discs on a thread of its own: a drive may take seconds to spin up, and the window must
// not wait for it. Lives on the panel's reader thread; answers by queued signals.
class CCdReader : public QObject {
    Q_OBJECT

public:
    void read(const QString &source, int purpose);

signals:
    void discRead(const kivo::lists::CCdDisc &disc, int purpose);
};

// The audio-CD page ("오디오 CD 목록"): the tracks of the disc in the drive (or image) with
// their lengths, played as a selection in order or at random, once or repeatedly, and the
// audio-CD mode of the control panel that follows it. It polls the drive every 2 s for a disc
// put in or taken out, and it holds the system mixer that the CD's volume slider drives.
class CAudioCdPanel : public CPanelPage, public IAudioCdPlayer {
    Q_OBJECT

public:
    static constexpr int kDialogId = 443;
    enum Command { kOpenDoor = 32943, kCloseDoor = 32944, kReread = 32945 };
    static constexpr int kPositionMs = 500;
    static constexpr int kPollMs = 2000;

    // source: the drive or .cue image to use (empty: the first drive libcdio finds).
    CAudioCdPanel(CPlayerSession &session, CPlayerTransport &transport, const QString &source,
                  QWidget *parent = nullptr);
    ~CAudioCdPanel() override;

    // Re-reads the disc off the GUI thread; discListed() follows. With start, the selection
    // plays once the disc is listed.
    void reread(bool start = false);
    bool isActive() const { return m_active; }
    bool hasTrack(int number) const;
    // The track playing or last played (the track grid's yellow cell), 0 when none.
    int currentTrack() const { return m_currentTrack; }
    // 설정: the selected rows (all when none) become the selection and its first entry plays.
    int startSelection();
    // A track by number (the control panel's track grid, remote requests). Out of range at the
    // ends: the CD stops and "마지막 곡입니다." / "처음 곡입니다." is shown.
    int playTrack(int number);
    // A command of the context menu: 1 done, 0 refused.
    int runCommand(int id);
    std::unique_ptr<QMenu> contextMenu();
    // "MCI Error" messages for failing device commands (on by default).
    void setErrorReporting(bool on) { m_reportErrors = on; }

    // The control panel's commands in audio-CD mode.
    int play() override;
    int pauseToggle() override;
    int stop() override;
    int next() override;
    int previous() override;
    int first() override;
    int last() override;
    int seek(int seconds) override;
    long volume() override { return m_mixer.volume(); }
    void setVolume(long value) override { m_mixer.setVolume(value); }
    void stepVolume(bool up) override { up ? m_mixer.volumeUp() : m_mixer.volumeDown(); }
    void setMute(bool on) override { m_mixer.setMute(on); }

    kivo::lists::ICdDevice &device() { return *m_device; }
    CCdEngineSound &sound() { return *m_sound; }
    kivo::lists::CCdPlayOrder &order() { return m_order; }
    kivo::lists::CMixer &mixer() { return m_mixer; }
    QTreeWidget &list() { return *m_list; }
    QCheckBox &randomBox() { return *m_random; }
    QCheckBox &repeatBox() { return *m_repeat; }
    COVFlatButton &setButton() { return *m_set; }
    int seekOffset() const { return m_seekOffset; }
    bool isDirectTrack() const { return m_direct; }

signals:
    // A re-read is over (the panel active or not).
    void discListed();
    // The tracks or the current track changed (the track grid repaints).
    void tracksChanged();
    void readRequested(const QString &source, int purpose);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    enum EPurpose { kList, kListAndStart, kPoll };

    void discRead(const kivo::lists::CCdDisc &disc, int purpose);
    void list(const kivo::lists::CCdDisc &disc);
    void closeDisc();
    void setControlsEnabled(bool on);
    void resetSelection();
    // Entry k of the selection from its start.
    void playEntry(int index, bool withHistory);
    // The answer of a forward or back rule: played with history, or the end of playback.
    int follow(int index);
    void trackEnded();
    void updatePosition();
    void selectRow(int track);
    void showTrack(int track);
    // A failed device command: the message when reporting is on; 0.
    int report();
    void enterCdMode();
    void leftCdMode();
    void poll();

    CPlayerSession &m_session;
    CPlayerTransport &m_transport;
    QString m_source;
    std::unique_ptr<CCdEngineSound> m_sound;
    std::unique_ptr<kivo::lists::ICdDevice> m_device;
    kivo::lists::CMixer m_mixer;
    kivo::lists::CCdPlayOrder m_order;
    QThread m_readerThread;
    CCdReader *m_reader;
    bool m_reading = false;
    bool m_active = false;
    bool m_direct = false;
    int m_currentTrack = 0;
    int m_length = 0;
    int m_seekOffset = 0;
    bool m_reportErrors = true;
    QTimer m_positionTimer;
    QTimer m_pollTimer;
    QTreeWidget *m_list;
    COVSeparator *m_bottomSeparator;
    QCheckBox *m_random;
    QCheckBox *m_repeat;
    COVFlatButton *m_set;
};
