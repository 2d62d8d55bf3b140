// The control panel's face: the skinned background with its outline, the buttons, the time
// display, the two text lines, the two sliders and the audio-CD track grid, and how they follow
// the transport.
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QRegion>
#include <QWindow>

#include "player/lists/window/audiocdpanel.h"
#include "player/transport/playercommands.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/playerdlg.h"
#include "uisupport/asker.h"
#include "uisupport/hoverbutton.h"
#include "uisupport/panelart.h"
#include "uisupport/skin.h"
#include "uisupport/textdisplays.h"
#include "uisupport/tslider.h"

namespace panel = kivo::skin::panel;

namespace {

struct CButtonTips {
    const char *normal;
    const char *audioCd;  // null: the same in both sets
};

// Indexed like panel::kButtons.
constexpr CButtonTips kTips[panel::kButtonCount] = {
    {"닫기(Alt + X)", nullptr},
    {"비디오창 열기", nullptr},
    {"최소화", nullptr},
    {"파일 열기(Ctrl + O)", nullptr},
    {"채널", nullptr},
    {"재생(F2)", nullptr},
    {"일시정지(F3)", nullptr},
    {"멈춤(F4)", nullptr},
    {"빨리 뒤로 재생(F5)", "이전 트랙"},
    {"빨리 앞으로 재생(F8)", "다음 트랙"},
    {"한 프레임 뒤로(Ctrl + 왼쪽 화살표)", "선택된 처음 트랙"},
    {"한 프레임 앞으로(Ctrl + 오른쪽 화살표", "선택된 마지막 트랙"},
    {"옵션", nullptr},
    {"음소거", nullptr},
};

constexpr int kTrackColumns = 5;
constexpr int kTrackRows = 3;
constexpr QSize kTrackCell(11, 14);

}  // namespace

void CPlayerDlg::setUpPanel() {
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setFixedSize(panel::kSize);
    QPolygon outline;
    for (const QPoint &point : panel::kOutline) {
        outline << point;
    }
    setMask(QRegion(outline, Qt::WindingFill));
    m_background = QPixmap::fromImage(kivo::skin::bitmap(kivo::skin::kPanelBackground));

    for (int i = 0; i < panel::kButtonCount; ++i) {
        const auto which = static_cast<panel::Button>(i);
        auto *button = new COVHoverButton(this);
        button->loadBitmaps(
            panel::bitmapId(which, panel::kNormal), panel::bitmapId(which, panel::kHover),
            panel::bitmapId(which, panel::kPressed), panel::bitmapId(which, panel::kDisabled));
        button->setGeometry(panel::kButtons[i].rect);
        const int id = panel::kButtons[i].controlId;
        connect(button, &QAbstractButton::clicked, this, [this, id] { runCommand(id); });
        m_buttons[i] = button;
    }
    button(kivo::player::kPauseButton)->setCheckable(true);
    COVHoverButton *speaker = button(kivo::player::kSpeakerButton);
    speaker->setCheckable(true);
    speaker->setChecked(true);
    for (const int fast : {kivo::player::kFastBackwardButton, kivo::player::kFastForwardButton}) {
        button(fast)->setRateMenuButton(true);
        connect(button(fast), &COVHoverButton::rateMenuRequested, this,
                [this, fast](COVHoverButton *pressed) { showRateMenu(fast, pressed->geometry()); });
    }
    m_optionMenuAnchor = button(kivo::player::kOptionButton);
    showTooltips(false);

    m_time = new COVTimerST(this);
    m_time->loadBitmap(kivo::skin::kTimeDigits);
    m_time->setGeometry(panel::kTimeDisplay);
    m_time->installEventFilter(this);
    m_fileInfo = new COVMsgST(this);
    m_fileInfo->setObjectName(QStringLiteral("static1224"));
    m_fileInfo->setBkBitmap(kivo::skin::kFileInfoBackground);
    m_fileInfo->setTextColor(Qt::white);
    m_fileInfo->setTextFlags(COVMsgST::kVCenter | COVMsgST::kNoPrefix | COVMsgST::kPathEllipsis);
    m_fileInfo->setGeometry(panel::kFileInfoLine);
    m_playState = new COVMsgST(this);
    m_playState->setObjectName(QStringLiteral("static1225"));
    m_playState->setBkBitmap(kivo::skin::kPlayStateBackground);
    m_playState->setTextColor(Qt::yellow);
    m_playState->setTextFlags(COVMsgST::kVCenter | COVMsgST::kNoPrefix | COVMsgST::kEndEllipsis);
    m_playState->setGeometry(panel::kPlayStateLine);

    m_volume = new COVTSlider(this);
    m_volume->loadBitmaps(kivo::skin::kVolumeChannel, kivo::skin::kVolumeThumb,
                          kivo::skin::kVolumeFill);
    m_volume->setGeometry(panel::kVolumeSlider);
    m_volume->setRange(0, 100);
    m_volume->setTooltip(QStringLiteral("소리크기 설정"));
    m_position = new COVTSlider(this);
    m_position->loadBitmaps(kivo::skin::kPositionChannel, kivo::skin::kPositionThumb,
                            kivo::skin::kPositionFill);
    m_position->setGeometry(panel::kPositionSlider);
    m_position->setTooltip(QStringLiteral("영상위치 설정"));
    connect(m_volume, &COVTSlider::moved, this,
            [this] { m_transport.volumeSliderMoved(int(m_volume->getPos())); });
    connect(m_position, &COVTSlider::moved, this,
            [this] { m_transport.positionSliderMoved(int(m_position->getPos())); });

    followTransport();
}

void CPlayerDlg::followTransport() {
    connect(&m_transport, &CPlayerTransport::playStateTextChanged, m_playState,
            &COVMsgST::setMessage);
    connect(&m_transport, &CPlayerTransport::timeDisplayChanged, m_time, &COVTimerST::setTime);
    connect(&m_transport, &CPlayerTransport::positionSliderChanged, m_position,
            [this](int seconds) { m_position->setPos(seconds); });
    connect(&m_transport, &CPlayerTransport::volumeSliderChanged, m_volume,
            [this](int value, bool enabled) {
                m_volume->setPos(value);
                m_volume->setEnabled(enabled);
            });
    connect(&m_transport, &CPlayerTransport::pauseButtonChanged, this,
            [this](bool enabled, bool pressed) {
                button(kivo::player::kPauseButton)->setEnabled(enabled);
                button(kivo::player::kPauseButton)->setChecked(pressed);
            });
    connect(&m_transport, &CPlayerTransport::controlsChanged, this,
            [this](const CPlayerTransport::CControls &controls) {
                button(kivo::player::kPlayButton)->setEnabled(controls.play);
                button(kivo::player::kPauseButton)->setEnabled(controls.pause);
                button(kivo::player::kStopButton)->setEnabled(controls.stop);
                for (const int id :
                     {kivo::player::kFastBackwardButton, kivo::player::kFastForwardButton,
                      kivo::player::kStepBackButton, kivo::player::kStepForwardButton}) {
                    button(id)->setEnabled(controls.seekButtons);
                }
                m_position->setEnabled(controls.positionSlider);
                m_position->setRange(0, m_transport.durationSeconds());
            });
}

COVHoverButton *CPlayerDlg::button(int controlId) const {
    for (int i = 0; i < panel::kButtonCount; ++i) {
        if (panel::kButtons[i].controlId == controlId) {
            return m_buttons[i];
        }
    }
    return nullptr;
}

void CPlayerDlg::showTooltips(bool audioCd) {
    for (int i = 0; i < panel::kButtonCount; ++i) {
        const char *text = audioCd && kTips[i].audioCd ? kTips[i].audioCd : kTips[i].normal;
        m_buttons[i]->setTooltip(QString::fromUtf8(text));
    }
}

int CPlayerDlg::trackAt(QPoint point) {
    const int column = (point.x() - panel::kTrackGrid.left()) / kTrackCell.width() + 1;
    const int row = (point.y() - panel::kTrackGrid.top()) / kTrackCell.height();
    if (point.x() < panel::kTrackGrid.left() || point.y() < panel::kTrackGrid.top() ||
        column > kTrackColumns || row >= kTrackRows) {
        return 0;
    }
    return column + kTrackColumns * row;
}

void CPlayerDlg::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
    QFont font(QStringLiteral("굴림"));
    font.setPixelSize(10);
    // Two digits fit an 11-pixel cell only narrowed.
    font.setStretch(QFont::SemiCondensed);
    painter.setFont(font);
    const CAudioCdPanel *cd = m_info != nullptr ? m_info->audioCdPanel() : nullptr;
    for (int track = 1; track <= kTrackColumns * kTrackRows; ++track) {
        const QRect cell(
            panel::kTrackGrid.left() + (track - 1) % kTrackColumns * kTrackCell.width(),
            panel::kTrackGrid.top() + (track - 1) / kTrackColumns * kTrackCell.height(),
            kTrackCell.width(), kTrackCell.height());
        QColor colour(0x96, 0x96, 0x96);
        if (cd != nullptr && track == cd->currentTrack() && cd->hasTrack(track)) {
            colour = Qt::yellow;
        } else if (cd != nullptr && cd->hasTrack(track)) {
            colour = QColor(0xC0, 0xC0, 0xC0);
        }
        painter.setPen(colour);
        painter.drawText(cell, Qt::AlignCenter, QString::number(track));
    }
}

void CPlayerDlg::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        QDialog::mousePressEvent(event);
        return;
    }
    if (const int track = trackAt(event->position().toPoint()); track != 0) {
        CAudioCdPanel *cd = m_info->audioCdPanel();
        if (cd->isActive()) {
            // A number without a track on the disc is no button.
            if (cd->hasTrack(track)) {
                cd->playTrack(track);
            }
            return;
        }
        kivo::ui::messageBox(this,
                             QStringLiteral("CD롬에 오디오 CD가 없거나 초기화 되지 않았습니다.\n\n"
                                            "CD롬에 오디오 CD가 있는 경우 오디오 CD 목록 정보\n"
                                            "상자를 연 후 오디오 목록 갱신 메뉴를 실행시키세요."));
        return;
    }
    // The background is the panel's title bar.
    if (windowHandle() && windowHandle()->startSystemMove()) {
        m_snapAtRest.follow(this);
    }
}
