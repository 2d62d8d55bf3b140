#include "player/captions/window/captioneditpanel.h"

#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSlider>
#include <QTreeWidget>

#include <algorithm>

#include "media/playback/playbackengine.h"
#include "player/captions/captionedit.h"
#include "player/captions/captionlist.h"
#include "player/captions/samiwriter.h"
#include "player/lists/window/listwidgets.h"
#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"
#include "scene/videodescription.h"
#include "uisupport/asker.h"
#include "uisupport/flatbutton.h"
#include "uisupport/flatcontrols.h"

namespace {

// RGB(162, 255, 0) on black, as the other list pages.
constexpr QRgb kTextColour = 0xFFA2FF00;

enum Label { kTimeLabel = 1160, kTextLabel = 1161, kLeftMark, kMiddleMark, kRightMark };
enum Separator { kTopSeparator = 1140, kBottomSeparator, kEditSeparator, kSliderSeparator };

QString objectNameOf(int id) {
    return QStringLiteral("control%1").arg(id);
}

// The time button's picture: a small clock with an arrow into the edit.
QIcon clockIcon() {
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0xA2, 0xFF, 0x00), 1.5));
    painter.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    painter.drawLine(QPointF(8, 8), QPointF(8, 4.5));
    painter.drawLine(QPointF(8, 8), QPointF(10.5, 9.5));
    return QIcon(picture);
}

}  // namespace

CCaptionEditPanel::CCaptionEditPanel(CPlayerSession &session, QWidget *parent)
    : CPanelPage(kDialogId, QStringLiteral("캡션 편집"), parent),
      m_session(session),
      m_list(new QTreeWidget(this)),
      m_slider(new QSlider(Qt::Horizontal, this)) {
    m_list->setObjectName(objectNameOf(kList));
    kivo::lists::styleReportList(*m_list, kTextColour);
    m_list->setHeaderLabels({QStringLiteral("시 간"), QStringLiteral("캡 션")});
    m_list->headerItem()->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
    m_list->setColumnWidth(0, 80);
    m_list->setColumnWidth(1, 500);
    m_list->installEventFilter(this);

    m_slider->setObjectName(objectNameOf(kSlider));
    m_slider->setRange(-kivo::captions::kNudgeRange, kivo::captions::kNudgeRange);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(10);
    m_slider->setPageStep(5);
    m_slider->setSingleStep(1);

    const auto label = [this](int id, const char *text) {
        auto *widget = new QLabel(QString::fromUtf8(text), this);
        widget->setObjectName(objectNameOf(id));
        QPalette palette = widget->palette();
        palette.setColor(QPalette::WindowText, Qt::white);
        widget->setPalette(palette);
    };
    label(kTimeLabel, "시간 :");
    label(kTextLabel, "캡션 :");
    label(kLeftMark, "-20초");
    label(kMiddleMark, "현재");
    label(kRightMark, "+20초");
    for (const int id : {kTopSeparator, kBottomSeparator, kEditSeparator, kSliderSeparator}) {
        (new COVSeparator(this))->setObjectName(objectNameOf(id));
    }
    for (const auto &[id, readOnly] : {std::pair{kTimeEdit, true}, {kTextEdit, false}}) {
        auto *edit = new COVFlatEdit(this);
        edit->setObjectName(objectNameOf(id));
        edit->setReadOnly(readOnly);
    }
    edit(kTextEdit)->setMaxLength(kMaxTextLength);

    auto *timeButton = new COVFlatButton(this);
    timeButton->setObjectName(objectNameOf(kTimeButton));
    timeButton->setIcon(clockIcon());
    timeButton->setTooltipText(QStringLiteral("현재 장면 시간 추출"));
    for (const auto &[id, text] : {std::pair{kDeleteButton, "삭제(&D)"},
                                   {kModifyButton, "수정(&M)"},
                                   {kAddButton, "추가(&A)"}}) {
        auto *widget = new COVFlatButton(this);
        widget->setObjectName(objectNameOf(id));
        widget->setText(QString::fromUtf8(text));
    }
    for (const int id : {kTimeButton, kDeleteButton, kModifyButton, kAddButton}) {
        connect(button(id), &QAbstractButton::clicked, this, [this, id] { runCommand(id); });
    }

    connect(m_slider, &QSlider::valueChanged, this, &CCaptionEditPanel::nudge);
    connect(m_list, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem *item) { rowClicked(m_list->indexOfTopLevelItem(item)); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item) { rowDoubleClicked(m_list->indexOfTopLevelItem(item)); });
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        const std::unique_ptr<QMenu> menu = contextMenu(m_list->itemAt(at) != nullptr);
        if (const QAction *chosen = menu->exec(m_list->viewport()->mapToGlobal(at)); chosen) {
            runCommand(chosen->data().toInt());
        }
    });
    connect(&m_session, &CPlayerSession::aboutToReleaseFile, this, &CCaptionEditPanel::reset);
    connect(&m_session, &CPlayerSession::descriptionReplaced, this, [this] {
        // A file written elsewhere may list its captions out of order; the list here, and the
        // caption box's search by halving, need them in time order.
        if (CVideoDescription *description = m_session.description()) {
            kivo::captions::sortCaptions(description->captions());
        }
        fill();
    });
    reset();
}

QLineEdit *CCaptionEditPanel::edit(int id) const {
    return findChild<QLineEdit *>(objectNameOf(id));
}

QAbstractButton *CCaptionEditPanel::button(int id) const {
    return findChild<QAbstractButton *>(objectNameOf(id));
}

void CCaptionEditPanel::reset() {
    m_list->clear();
    setTimeText(0);
    edit(kTextEdit)->clear();
    resetSlider();
    setEnabledControls(false);
}

void CCaptionEditPanel::setEnabledControls(bool on) {
    for (const int id : {kTimeButton, kDeleteButton, kModifyButton, kAddButton}) {
        button(id)->setEnabled(on);
    }
    edit(kTextEdit)->setEnabled(on);
    m_slider->setEnabled(on);
}

void CCaptionEditPanel::fill() {
    m_list->clear();
    const CVideoDescription *description = m_session.description();
    setEnabledControls(description != nullptr);
    if (description == nullptr) {
        return;
    }
    QList<QTreeWidgetItem *> rows;
    rows.reserve(qsizetype(description->captions().size()));
    for (const CCaptionEntry &caption : description->captions()) {
        auto *item = new QTreeWidgetItem;
        item->setText(0, QString::fromStdString(kivo::captions::captionTimeText(caption.time)));
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(1, QString::fromStdString(caption.text));
        rows.append(item);
    }
    m_list->addTopLevelItems(rows);
}

void CCaptionEditPanel::setTimeText(double time) {
    edit(kTimeEdit)->setText(QString::fromStdString(kivo::captions::captionTimeText(time)));
}

void CCaptionEditPanel::resetSlider() {
    const QSignalBlocker quiet(m_slider);
    m_slider->setValue(0);
    m_sliderBase = 0;
}

int CCaptionEditPanel::runCommand(int id) {
    if (m_session.description() == nullptr) {
        return 0;
    }
    IPlayerControl *control = m_session.control();
    switch (id) {
        case kAddButton:
            return addCaption();
        case kModifyButton:
            return modifyCaption();
        case kDeleteButton:
        case kDeleteCaptions:
            return deleteSelected();
        case kTimeButton:
            takePlayerPosition();
            return 1;
        case kAddCaption:
            takePlayerPosition();
            edit(kTextEdit)->clear();
            edit(kTextEdit)->setFocus();
            return 1;
        case kModifyCaption: {
            const std::vector<int> rows = kivo::lists::selectedRows(*m_list);
            if (rows.empty()) {
                return 0;
            }
            const CCaptionEntry &caption = m_session.description()->captions()[size_t(rows.back())];
            setTimeText(caption.time);
            edit(kTextEdit)->setText(QString::fromStdString(caption.text));
            edit(kTextEdit)->setFocus();
            resetSlider();
            return 1;
        }
        case kSaveCaptions:
            return control ? control->saveDescription() : 0;
        case kExportSami:
            return exportSami();
        default:
            return 0;
    }
}

void CCaptionEditPanel::takePlayerPosition() {
    setTimeText(m_session.engine().currentPosition());
    resetSlider();
}

int CCaptionEditPanel::addCaption() {
    CCaptionEntry caption;
    caption.time = kivo::captions::parseCaptionTimeText(edit(kTimeEdit)->text().toStdString());
    caption.text = edit(kTextEdit)->text().toStdString();
    m_session.description()->captions().push_back(std::move(caption));
    edit(kTextEdit)->clear();
    placeAt(m_session.description()->captions().back().time);
    m_session.markDescriptionChanged();
    return 1;
}

int CCaptionEditPanel::modifyCaption() {
    const std::vector<int> rows = kivo::lists::selectedRows(*m_list);
    if (rows.empty()) {
        kivo::ui::messageBox(this, QStringLiteral("수정할 캡션이 선택되 있지 않습니다."));
        return 0;
    }
    CCaptionEntry &caption = m_session.description()->captions()[size_t(rows.back())];
    caption.time = kivo::captions::parseCaptionTimeText(edit(kTimeEdit)->text().toStdString());
    caption.text = edit(kTextEdit)->text().toStdString();
    const double time = caption.time;
    edit(kTextEdit)->clear();
    placeAt(time);
    m_session.markDescriptionChanged();
    return 1;
}

void CCaptionEditPanel::placeAt(double time) {
    std::vector<CCaptionEntry> &captions = m_session.description()->captions();
    kivo::captions::sortCaptions(captions);
    fill();
    const auto first = std::find_if(captions.begin(), captions.end(),
                                    [time](const CCaptionEntry &c) { return c.time == time; });
    if (first != captions.end()) {
        const int row = int(first - captions.begin());
        kivo::lists::selectRows(*m_list, {row});
        m_list->scrollToItem(m_list->topLevelItem(row));
    }
    resetSlider();
}

int CCaptionEditPanel::deleteSelected() {
    const std::vector<int> rows = kivo::lists::selectedRows(*m_list);
    if (rows.empty()) {
        kivo::ui::messageBox(this, QStringLiteral("삭제할 캡션을 먼저 선택하세요"));
        return 0;
    }
    std::vector<CCaptionEntry> &captions = m_session.description()->captions();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        captions.erase(captions.begin() + *row);
    }
    fill();
    if (!captions.empty()) {
        // The caption just before the place of the last one deleted, else the first.
        const int before = rows.back() - int(rows.size());
        kivo::lists::selectRows(*m_list, {std::clamp(before, 0, int(captions.size()) - 1)});
    }
    m_session.markDescriptionChanged();
    return 1;
}

int CCaptionEditPanel::exportSami() {
    const CVideoDescription *description = m_session.description();
    if (description->captions().empty()) {
        return 0;
    }
    kivo::ui::CFileRequest request;
    request.save = true;
    request.caption = QStringLiteral("KIVO Player_SMI 파일 저장");
    request.filter = QStringLiteral("SMI 파일 (*.smi)|*.smi;|모든 파일 (*.*)|*.*;|");
    request.defaultExtension = QStringLiteral("smi");
    const QString path = kivo::ui::saveFileName(this, request);
    if (path.isEmpty()) {
        return 0;
    }
    const kivo::captions::CSamiWriteResult result = kivo::captions::saveSamiFile(
        QFile::encodeName(path).toStdString(), description->captions());
    const QString message = QString::fromStdString(kivo::captions::samiWriteMessage(result));
    if (result.status != kivo::captions::SamiWriteStatus::Saved) {
        kivo::ui::messageBox(this, message);
        return 0;
    }
    kivo::ui::notice(this, message);
    return 1;
}

void CCaptionEditPanel::nudge(int position) {
    if (m_session.description() == nullptr) {
        return;
    }
    CPlaybackEngine &engine = m_session.engine();
    IPlayerControl *control = m_session.control();
    const CPlayerSession::EPlayState state = m_session.playState();
    if (state != CPlayerSession::kStopped && state != CPlayerSession::kPaused) {
        // The time is set on a still picture. The player's stop rewinds, so the position is
        // taken first: the nudge starts from where the picture was, not from the start.
        const double playing = engine.currentPosition();
        if (control != nullptr) {
            control->stop();
        }
        setTimeText(playing);
        edit(kTextEdit)->clear();
    }
    const double time = kivo::captions::parseCaptionTimeText(edit(kTimeEdit)->text().toStdString());
    const std::optional<double> moved =
        kivo::captions::nudgedTime(time, m_sliderBase, position, engine.duration());
    if (!moved) {
        const QSignalBlocker quiet(m_slider);
        m_slider->setValue(m_sliderBase);
        return;
    }
    m_sliderBase = position;
    setTimeText(*moved);
    edit(kTextEdit)->clear();
    if (control != nullptr) {
        control->seekToPosition(*moved);
    }
}

void CCaptionEditPanel::rowClicked(int row) {
    const CVideoDescription *description = m_session.description();
    if (description == nullptr || row < 0 || size_t(row) >= description->captions().size()) {
        return;
    }
    edit(kTextEdit)->setText(QString::fromStdString(description->captions()[size_t(row)].text));
}

void CCaptionEditPanel::rowDoubleClicked(int row) {
    const CVideoDescription *description = m_session.description();
    if (description == nullptr || row < 0 || size_t(row) >= description->captions().size()) {
        return;
    }
    const CCaptionEntry caption = description->captions()[size_t(row)];
    if (IPlayerControl *control = m_session.control()) {
        control->seekToPosition(caption.time);
    }
    setTimeText(caption.time);
    edit(kTextEdit)->setText(QString::fromStdString(caption.text));
    m_session.setCaptionText(QString::fromStdString(caption.text));
}

std::unique_ptr<QMenu> CCaptionEditPanel::contextMenu(bool onRow) {
    const CVideoDescription *description = m_session.description();
    const bool hasCaptions = description != nullptr && !description->captions().empty();
    auto menu = std::make_unique<QMenu>(QStringLiteral("캡션"), this);
    kivo::lists::addMenuItem(*menu, "캡션 추가(&A)", kAddCaption)
        ->setEnabled(description != nullptr);
    kivo::lists::addMenuItem(*menu, "캡션 수정(&M)", kModifyCaption)->setEnabled(onRow);
    kivo::lists::addMenuItem(*menu, "캡션 삭제(&D)", kDeleteCaptions)->setEnabled(onRow);
    menu->addSeparator();
    kivo::lists::addMenuItem(*menu, "캡션 저장(&S)", kSaveCaptions)->setEnabled(hasCaptions);
    kivo::lists::addMenuItem(*menu, "SMI로 저장(&I)", kExportSami)->setEnabled(hasCaptions);
    return menu;
}

bool CCaptionEditPanel::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        runCommand(kDeleteButton);
        return true;
    }
    return CPanelPage::eventFilter(watched, event);
}

void CCaptionEditPanel::resizeEvent(QResizeEvent *event) {
    CPanelPage::resizeEvent(event);
    const int w = width();
    const int h = height();
    const auto place = [this](int id, int x, int y, int width, int height) {
        findChild<QWidget *>(objectNameOf(id))->setGeometry(x, y, width, height);
    };
    place(kTopSeparator, 0, 20, w + 1, 2);
    place(kDeleteButton, w - 50, h - 22, 48, 20);
    place(kModifyButton, w - 101, h - 22, 48, 20);
    place(kAddButton, w - 152, h - 22, 48, 20);
    place(kBottomSeparator, 0, h - 26, w + 1, 2);
    place(kTextLabel, 2, h - 44, 34, 14);
    place(kTextEdit, 37, h - 47, w - 40, 18);
    place(kTimeLabel, 2, h - 63, 34, 14);
    place(kTimeEdit, 36, h - 67, w - 58, 18);
    place(kTimeButton, w - 21, h - 67, 18, 18);
    place(kEditSeparator, 0, h - 72, w + 1, 2);
    place(kSlider, 0, h - 111, w, 20);
    place(kLeftMark, 0, h - 87, 34, 14);
    place(kMiddleMark, w / 2 - 11, h - 87, 30, 14);
    place(kRightMark, w - 30, h - 87, 30, 14);
    place(kSliderSeparator, 0, h - 114, w + 1, 2);
    place(kList, 0, 25, w, std::max(0, h - 142));
}
