#include "player/lists/window/audiocdpanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>

#include "player/lists/window/cdenginesound.h"
#include "player/lists/window/listwidgets.h"
#include "player/transport/playersession.h"
#include "uisupport/asker.h"
#include "uisupport/flatbutton.h"
#include "uisupport/flatcontrols.h"

namespace {

constexpr int kTrackRole = Qt::UserRole;

QString trackRowText(int number) {
    return QStringLiteral("트랙 %1").arg(number, 2, 10, QLatin1Char('0'));
}

QString lengthText(int seconds) {
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

void CCdReader::read(const QString &source, int purpose) {
    const std::string named = source.toStdString();
    emit discRead(kivo::lists::readCdDisc(kivo::lists::findCdSource(named)), purpose);
}

CAudioCdPanel::CAudioCdPanel(CPlayerSession &session, CPlayerTransport &transport,
                             const QString &source, QWidget *parent)
    : CPanelPage(kDialogId, QStringLiteral("오디오 CD 목록"), parent),
      m_session(session),
      m_transport(transport),
      m_source(source),
      m_sound(std::make_unique<CCdEngineSound>()),
      m_device(std::make_unique<kivo::lists::CCdioDevice>(*m_sound)),
      m_reader(new CCdReader),
      m_list(new QTreeWidget(this)),
      m_bottomSeparator(new COVSeparator(this)),
      m_random(new QCheckBox(QStringLiteral("랜덤"), this)),
      m_repeat(new QCheckBox(QStringLiteral("반복"), this)),
      m_set(new COVFlatButton(this)) {
    qRegisterMetaType<kivo::lists::CCdDisc>();
    m_set->setText(QStringLiteral("설정(&S)"));
    kivo::lists::styleReportList(*m_list, kivo::lists::kListTextColour);
    m_list->setHeaderLabels({QStringLiteral("트랙"), QStringLiteral("시간")});
    m_list->setColumnWidth(0, 60);
    m_list->setColumnWidth(1, 150);
    for (QWidget *control : {static_cast<QWidget *>(m_random), static_cast<QWidget *>(m_repeat)}) {
        QPalette colours = control->palette();
        colours.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
        control->setPalette(colours);
    }
    setControlsEnabled(false);

    m_reader->moveToThread(&m_readerThread);
    connect(&m_readerThread, &QThread::finished, m_reader, &QObject::deleteLater);
    connect(this, &CAudioCdPanel::readRequested, m_reader, &CCdReader::read);
    connect(m_reader, &CCdReader::discRead, this, &CAudioCdPanel::discRead);
    m_readerThread.start();

    m_device->trackEnded = [this] { trackEnded(); };
    m_device->failed = [this](const std::string &) {
        m_transport.showCdPlayState(CPlayerSession::kStopped);
        report();
    };
    m_positionTimer.setInterval(kPositionMs);
    connect(&m_positionTimer, &QTimer::timeout, this, &CAudioCdPanel::updatePosition);
    m_pollTimer.setInterval(kPollMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &CAudioCdPanel::poll);
    m_pollTimer.start();

    connect(m_set, &QAbstractButton::clicked, this, &CAudioCdPanel::startSelection);
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, &CAudioCdPanel::startSelection);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        const std::unique_ptr<QMenu> menu = contextMenu();
        if (const QAction *chosen = menu->exec(m_list->viewport()->mapToGlobal(at)); chosen) {
            runCommand(chosen->data().toInt());
        }
    });
    connect(&m_session, &CPlayerSession::audioCdModeChanged, this, [this](bool on) {
        if (!on) {
            leftCdMode();
        }
    });
}

CAudioCdPanel::~CAudioCdPanel() {
    m_positionTimer.stop();
    m_pollTimer.stop();
    m_device->trackEnded = nullptr;
    m_device->failed = nullptr;
    m_device->close();
    // A read under way finishes first (a drive answers within its own time-outs).
    m_readerThread.quit();
    m_readerThread.wait();
}

void CAudioCdPanel::reread(bool start) {
    setCursor(Qt::WaitCursor);
    m_reading = true;
    emit readRequested(m_source, start ? kListAndStart : kList);
}

void CAudioCdPanel::poll() {
    // One read at a time; a re-read lists the disc anyway.
    if (!m_reading) {
        m_reading = true;
        emit readRequested(m_source, kPoll);
    }
}

void CAudioCdPanel::discRead(const kivo::lists::CCdDisc &disc, int purpose) {
    m_reading = false;
    if (purpose == kPoll) {
        const kivo::lists::CCdDisc &known = m_device->disc();
        if (disc.isReady() == known.isReady() && disc.tracks == known.tracks) {
            return;
        }
        // A disc that went away (or was swapped) ends what played from it.
        const bool removed = known.isReady();
        if (removed && m_session.isAudioCdMode()) {
            m_session.setAudioCdMode(false);
        }
        list(disc);
        if (!removed && m_active && !m_transport.isFileOpen()) {
            startSelection();
        }
        emit discListed();
        return;
    }
    unsetCursor();
    list(disc);
    if (purpose == kListAndStart && m_active) {
        startSelection();
    }
    emit discListed();
}

void CAudioCdPanel::list(const kivo::lists::CCdDisc &disc) {
    if (m_active || m_device->disc().isReady()) {
        closeDisc();
    }
    m_device->load(disc);
    if (!disc.isReady()) {
        emit tracksChanged();
        return;
    }
    for (const kivo::lists::CCdTrack &track : disc.tracks) {
        auto *item = new QTreeWidgetItem(m_list);
        item->setText(0, trackRowText(track.number));
        if (track.audio) {
            item->setText(1, lengthText(track.lengthSeconds()));
        }
        item->setData(0, kTrackRole, track.number);
    }
    m_active = true;
    resetSelection();
    setControlsEnabled(true);
    emit tracksChanged();
}

void CAudioCdPanel::closeDisc() {
    m_active = false;
    resetSelection();
    m_positionTimer.stop();
    m_device->close();
    m_currentTrack = 0;
    m_list->clear();
    setControlsEnabled(false);
    emit tracksChanged();
}

void CAudioCdPanel::setControlsEnabled(bool on) {
    m_random->setEnabled(on);
    m_repeat->setEnabled(on);
    m_set->setEnabled(on);
}

void CAudioCdPanel::resetSelection() {
    m_order.reset();
    m_direct = false;
    m_seekOffset = 0;
    m_length = 0;
}

bool CAudioCdPanel::hasTrack(int number) const {
    return m_active && m_device->disc().track(number) != nullptr;
}

int CAudioCdPanel::startSelection() {
    if (!m_active) {
        return 0;
    }
    std::vector<int> tracks;
    for (const int row : kivo::lists::selectedRows(*m_list)) {
        tracks.push_back(m_list->topLevelItem(row)->data(0, kTrackRole).toInt());
    }
    if (tracks.empty()) {
        for (const kivo::lists::CCdTrack &track : m_device->disc().tracks) {
            tracks.push_back(track.number);
        }
    }
    resetSelection();
    m_order.select(std::move(tracks));
    m_order.setRandom(m_random->isChecked());
    m_order.setRepeat(m_repeat->isChecked());
    int index = 0;
    if (m_random->isChecked()) {
        index = m_order.forwardIndex();
        if (index < 0) {
            kivo::ui::messageBox(this, QStringLiteral("다음 재생목록을 선정하는데 실패했습니다."));
            stop();
            return 0;
        }
    }
    enterCdMode();
    playEntry(index, true);
    return 1;
}

void CAudioCdPanel::enterCdMode() {
    if (!m_session.isAudioCdMode()) {
        m_session.setAudioCdMode(true);
    }
}

void CAudioCdPanel::leftCdMode() {
    m_positionTimer.stop();
    m_device->stop();
}

void CAudioCdPanel::showTrack(int track) {
    m_currentTrack = track;
    m_session.setAudioCdTrack(track);
    selectRow(track);
    const kivo::lists::CCdTrack *entry = m_device->disc().track(track);
    m_length = entry != nullptr ? entry->lengthSeconds() : 0;
    m_transport.cdTrackStarted(m_length);
    emit tracksChanged();
}

void CAudioCdPanel::playEntry(int index, bool withHistory) {
    m_positionTimer.stop();
    m_direct = false;
    m_seekOffset = 0;
    m_order.play(index, withHistory);
    showTrack(m_order.currentTrack());
    if (!m_device->play(m_currentTrack, 0)) {
        m_transport.showCdPlayState(CPlayerSession::kStopped);
        report();
        return;
    }
    m_transport.showCdPlayState(CPlayerSession::kPlaying);
    m_positionTimer.start();
}

int CAudioCdPanel::playTrack(int number) {
    if (!m_active) {
        return 0;
    }
    const std::vector<kivo::lists::CCdTrack> &tracks = m_device->disc().tracks;
    if (number > tracks.back().number || number < tracks.front().number) {
        m_positionTimer.stop();
        m_device->stop();
        m_transport.showCdPlayState(CPlayerSession::kStopped);
        kivo::ui::messageBox(this, number > tracks.back().number
                                       ? QStringLiteral("마지막 곡입니다.")
                                       : QStringLiteral("처음 곡입니다."));
        return 0;
    }
    enterCdMode();
    m_positionTimer.stop();
    m_direct = true;
    m_seekOffset = 0;
    showTrack(number);
    if (!m_device->play(number, 0)) {
        m_transport.showCdPlayState(CPlayerSession::kStopped);
        return report();
    }
    m_transport.showCdPlayState(CPlayerSession::kPlaying);
    m_positionTimer.start();
    return 1;
}

int CAudioCdPanel::follow(int index) {
    if (index >= 0) {
        playEntry(index, true);
        return 1;
    }
    stop();
    return 0;
}

int CAudioCdPanel::next() {
    if (!m_active || m_order.empty()) {
        return 0;
    }
    m_order.setRandom(m_random->isChecked());
    m_order.setRepeat(m_repeat->isChecked());
    return follow(m_order.forwardIndex());
}

int CAudioCdPanel::previous() {
    if (!m_active || m_order.empty()) {
        return 0;
    }
    m_order.setRandom(m_random->isChecked());
    m_order.setRepeat(m_repeat->isChecked());
    return follow(m_order.backIndex());
}

int CAudioCdPanel::first() {
    if (!m_active || m_order.empty()) {
        return 0;
    }
    playEntry(0, true);
    return 1;
}

int CAudioCdPanel::last() {
    if (!m_active || m_order.empty()) {
        return 0;
    }
    playEntry(int(m_order.tracks().size()) - 1, true);
    return 1;
}

void CAudioCdPanel::trackEnded() {
    m_positionTimer.stop();
    m_transport.showCdPlayState(CPlayerSession::kStopped);
    next();
}

int CAudioCdPanel::seek(int seconds) {
    if (!m_active || m_currentTrack == 0) {
        return 0;
    }
    m_seekOffset = std::clamp(seconds, 0, std::max(m_length - 1, 0));
    m_transport.cdPositionUpdate(m_seekOffset);
    if (m_device->mode() != kivo::lists::ICdDevice::kPlaying) {
        return 1;
    }
    if (!m_device->play(m_currentTrack, m_seekOffset)) {
        // The position timer keeps running: the displays follow the device's position.
        m_transport.showCdPlayState(CPlayerSession::kStopped);
        return report();
    }
    return 1;
}

int CAudioCdPanel::play() {
    if (!m_active) {
        return 0;
    }
    int done = 0;
    switch (m_device->mode()) {
        case kivo::lists::ICdDevice::kStopped:
            if (m_seekOffset > 0) {
                done = m_device->play(m_currentTrack, m_seekOffset);
            } else if (m_direct) {
                done = m_device->play(m_currentTrack, 0);
            } else if (m_order.current() >= 0) {
                playEntry(m_order.current(), false);
                return 1;
            } else {
                return 0;
            }
            break;
        case kivo::lists::ICdDevice::kPaused:
            done = m_seekOffset > 0 ? m_device->play(m_currentTrack, m_seekOffset)
                                    : m_device->resume();
            break;
        case kivo::lists::ICdDevice::kPlaying:
            return 0;
    }
    if (!done) {
        return report();
    }
    m_seekOffset = 0;
    m_transport.showCdPlayState(CPlayerSession::kPlaying);
    m_positionTimer.start();
    return 1;
}

int CAudioCdPanel::pauseToggle() {
    if (!m_active) {
        return 0;
    }
    switch (m_device->mode()) {
        case kivo::lists::ICdDevice::kStopped:
            if (m_currentTrack == 0 || !m_device->play(m_currentTrack, 0)) {
                return report();
            }
            m_transport.showCdPlayState(CPlayerSession::kPlaying);
            m_positionTimer.start();
            return 1;
        case kivo::lists::ICdDevice::kPlaying:
            if (!m_device->pause()) {
                return report();
            }
            m_positionTimer.stop();
            m_transport.showCdPlayState(CPlayerSession::kPaused);
            return 1;
        case kivo::lists::ICdDevice::kPaused:
            if (!m_device->resume()) {
                return report();
            }
            m_transport.showCdPlayState(CPlayerSession::kPlaying);
            m_positionTimer.start();
            return 1;
    }
    return 0;
}

int CAudioCdPanel::stop() {
    if (!m_active || m_device->mode() == kivo::lists::ICdDevice::kStopped) {
        return 0;
    }
    m_positionTimer.stop();
    m_transport.showCdPlayState(CPlayerSession::kStopped);
    m_device->stop();
    m_seekOffset = 0;
    // The displays go back to the start of the entry.
    showTrack(m_direct ? m_currentTrack : m_order.currentTrack());
    return 1;
}

void CAudioCdPanel::updatePosition() {
    if (m_device->mode() == kivo::lists::ICdDevice::kStopped) {
        return;
    }
    m_transport.cdPositionUpdate(m_device->positionSeconds());
}

void CAudioCdPanel::selectRow(int track) {
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        if (m_list->topLevelItem(row)->data(0, kTrackRole).toInt() == track) {
            kivo::lists::selectRows(*m_list, {row});
            return;
        }
    }
}

int CAudioCdPanel::report() {
    if (m_reportErrors) {
        const std::string &error = m_device->lastError();
        QApplication::beep();
        kivo::ui::asker().message(
            this, QStringLiteral("MCI Error"),
            error.empty() ? QStringLiteral("Unknown Error") : QString::fromStdString(error),
            kivo::ui::MessageButtons::Ok, kivo::ui::MessageIcon::Warning);
    }
    return 0;
}

int CAudioCdPanel::runCommand(int id) {
    switch (id) {
        case kOpenDoor:
            if (m_session.isAudioCdMode()) {
                m_session.setAudioCdMode(false);
            }
            return m_device->openDoor() ? 1 : report();
        case kCloseDoor:
            return m_device->closeDoor() ? 1 : report();
        case kReread:
            reread(false);
            return 1;
        default:
            return 0;
    }
}

std::unique_ptr<QMenu> CAudioCdPanel::contextMenu() {
    auto menu = std::make_unique<QMenu>(QStringLiteral("오디오 CD 리스트"), this);
    kivo::lists::addMenuItem(*menu, "CDROM 열기", kOpenDoor);
    kivo::lists::addMenuItem(*menu, "CDROM 닫기", kCloseDoor);
    menu->addSeparator();
    kivo::lists::addMenuItem(*menu, "오디오 목록 갱신", kReread);
    return menu;
}

void CAudioCdPanel::resizeEvent(QResizeEvent *event) {
    CPanelPage::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_bottomSeparator->setGeometry(0, h - 26, w + 1, 2);
    m_list->setGeometry(0, 25, w, h - 54);
    m_set->setGeometry(w - 50, h - 22, 48, 20);
    m_repeat->setGeometry(w - 102, h - 19, 50, 16);
    m_random->setGeometry(w - 155, h - 19, 52, 16);
}
