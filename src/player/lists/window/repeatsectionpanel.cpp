#include "player/lists/window/repeatsectionpanel.h"

#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QRegularExpressionValidator>
#include <QTreeWidget>

#include <algorithm>

#include "media/playback/playbackengine.h"
#include "player/lists/repeatsections.h"
#include "player/lists/window/listwidgets.h"
#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"
#include "player/transport/playertransport.h"
#include "scene/mediatime.h"
#include "scene/videodescription.h"
#include "uisupport/asker.h"
#include "uisupport/flatbutton.h"
#include "uisupport/flatcontrols.h"

namespace {

constexpr int kListTop = 25;
constexpr int kButtonHeight = 20;
constexpr int kRowHeight = 20;
constexpr int kRowStep = 24;
constexpr int kLabelWidth = 30;
constexpr int kGoButtonWidth = 32;
constexpr int kTakeButtonWidth = 18;

const QString kNotSet = QStringLiteral("오류 또는 미지정");

QString objectNameOf(int id) {
    return QStringLiteral("control%1").arg(id);
}

COVFlatButton *makeButton(QWidget *parent, int id, const char *text) {
    auto *button = new COVFlatButton(parent);
    button->setText(QString::fromUtf8(text));
    button->setObjectName(objectNameOf(id));
    return button;
}

COVFlatEdit *makeEdit(QWidget *parent, int id, bool readOnly) {
    auto *edit = new COVFlatEdit(parent);
    edit->setObjectName(objectNameOf(id));
    edit->setReadOnly(readOnly);
    return edit;
}

QString timeEditText(double time, double otherEnd) {
    const std::optional<std::string> text = kivo::lists::sectionTimeText(time, otherEnd);
    return text ? QString::fromStdString(*text) : kNotSet;
}

}  // namespace

CRepeatSectionPanel::CRepeatSectionPanel(CPlayerSession &session, CPlayerTransport &transport,
                                         QWidget *parent)
    : CPanelPage(kDialogId, QStringLiteral("반복구간 설정"), parent),
      m_session(session),
      m_transport(transport),
      m_listView(new QWidget(this)),
      m_editView(new QWidget(this)),
      m_list(new QTreeWidget(m_listView)) {
    m_list->setObjectName(objectNameOf(kList));
    kivo::lists::styleReportList(*m_list, kivo::lists::kListTextColour);
    m_list->setHeaderLabels({QStringLiteral("No"), QStringLiteral("제목"), QStringLiteral("횟수"),
                             QStringLiteral("시작"), QStringLiteral("끝")});
    for (const auto &[column, width] : {std::pair{0, 30}, {1, 80}, {2, 40}, {3, 60}, {4, 60}}) {
        m_list->setColumnWidth(column, width);
    }
    makeButton(m_listView, kAddButton, "추가(&A)");
    makeButton(m_listView, kModifyButton, "수정(&M)");
    makeButton(m_listView, kDeleteButton, "삭제(&D)");
    makeButton(m_listView, kSetButton, "설정(&S)");

    (new QLabel(QStringLiteral("제목"), m_editView))->setObjectName(objectNameOf(1064));
    (new QLabel(QStringLiteral("횟수"), m_editView))->setObjectName(objectNameOf(1067));
    makeEdit(m_editView, kTitleEdit, false);
    makeEdit(m_editView, kStartEdit, true);
    makeEdit(m_editView, kEndEdit, true);
    makeEdit(m_editView, kCountEdit, false)
        ->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")),
                                                       m_editView));
    makeButton(m_editView, kTakeStartButton, "◀")->setToolTip(QStringLiteral("현재 위치"));
    makeButton(m_editView, kTakeEndButton, "◀")->setToolTip(QStringLiteral("현재 위치"));
    makeButton(m_editView, kGoToStartButton, "시작");
    makeButton(m_editView, kGoToEndButton, "끝");
    makeButton(m_editView, kOkButton, "확인(&S)");
    makeButton(m_editView, kCancelButton, "취소(&E)");

    for (const int id :
         {kAddButton, kModifyButton, kDeleteButton, kSetButton, kOkButton, kCancelButton,
          kTakeStartButton, kTakeEndButton, kGoToStartButton, kGoToEndButton}) {
        connect(button(id), &QAbstractButton::clicked, this, [this, id] { runCommand(id); });
    }
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (m_mode == kBrowsing) {
            runCommand(kModifyButton);
        }
    });
    connect(m_list, &QTreeWidget::itemSelectionChanged, this, [this] {
        const std::vector<int> rows = kivo::lists::selectedRows(*m_list);
        if (m_mode == kModifying && !rows.empty()) {
            m_modifiedRow = rows.back();
            fillEdits(m_modifiedRow);
        }
    });
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        const std::unique_ptr<QMenu> menu = contextMenu(m_list->itemAt(at) != nullptr);
        if (const QAction *chosen = menu->exec(m_list->viewport()->mapToGlobal(at)); chosen) {
            runCommand(chosen->data().toInt());
        }
    });
    connect(&m_transport, &CPlayerTransport::repeatSectionStarted, this,
            [this](int index) { kivo::lists::selectRows(*m_list, {index}); });
    connect(&m_session, &CPlayerSession::aboutToReleaseFile, this, &CRepeatSectionPanel::reset);
    connect(&m_session, &CPlayerSession::descriptionReplaced, this, &CRepeatSectionPanel::fill);
    reset();
}

bool CRepeatSectionPanel::isEditViewShown() const {
    return !m_editView->isHidden();
}

QLineEdit *CRepeatSectionPanel::edit(int id) const {
    return findChild<QLineEdit *>(objectNameOf(id));
}

QAbstractButton *CRepeatSectionPanel::button(int id) const {
    return findChild<QAbstractButton *>(objectNameOf(id));
}

void CRepeatSectionPanel::reset() {
    m_mode = kBrowsing;
    showEditView(false);
    m_list->clear();
    m_listView->setEnabled(false);
}

void CRepeatSectionPanel::fill() {
    m_list->clear();
    CVideoDescription *description = m_session.description();
    m_listView->setEnabled(description != nullptr);
    if (description == nullptr) {
        return;
    }
    for (size_t row = 0; row < description->repeatSections().size(); ++row) {
        auto *item = new QTreeWidgetItem(m_list);
        setRowTexts(*item, int(row));
    }
}

void CRepeatSectionPanel::setRowTexts(QTreeWidgetItem &item, int row) {
    CRepeatSection &section = m_session.description()->repeatSections()[size_t(row)];
    // The section keeps the row it is shown in.
    section.row = row;
    item.setText(0, QString::number(row));
    item.setText(1, QString::fromStdString(section.title));
    item.setText(2, QString::number(section.repeatCount));
    item.setText(3, QString::fromStdString(kivo::scene::formatMediaTime(section.start)));
    item.setText(4, QString::fromStdString(kivo::scene::formatMediaTime(section.end)));
}

void CRepeatSectionPanel::showEditView(bool edit) {
    m_listView->setVisible(!edit);
    m_editView->setVisible(edit);
}

int CRepeatSectionPanel::runCommand(int id) {
    CVideoDescription *description = m_session.description();
    if (description == nullptr) {
        return 0;
    }
    switch (id) {
        case kAddButton:
            beginEdit(kAdding);
            return 1;
        case kModifyButton:
        case kModifySection:
            if (m_list->selectedItems().isEmpty()) {
                kivo::ui::messageBox(this, QStringLiteral("수정할 구간을 먼저 선택하세요"));
                return 0;
            }
            m_modifiedRow = kivo::lists::selectedRows(*m_list).back();
            beginEdit(kModifying);
            return 1;
        case kDeleteButton:
        case kDeleteSections:
            return deleteSelected();
        case kSetButton:
        case kSetRepeatList:
            return setRepeatList();
        case kOkButton:
            return confirm();
        case kCancelButton:
            m_mode = kBrowsing;
            showEditView(false);
            return 1;
        case kTakeStartButton:
        case kTakeEndButton:
            takePosition(id == kTakeStartButton ? kStartEdit : kEndEdit);
            return 1;
        case kGoToStartButton:
        case kGoToEndButton:
            return goTo(id == kGoToStartButton ? kStartEdit : kEndEdit);
        case kSelectAll:
            m_list->selectAll();
            return 1;
        case kClearSelection:
            m_list->clearSelection();
            return 1;
        case kSaveSections:
            return m_session.control() ? m_session.control()->saveDescription() : 0;
        default:
            return 0;
    }
}

void CRepeatSectionPanel::beginEdit(Mode mode) {
    m_mode = mode;
    if (mode == kAdding) {
        const QString now = QString::fromStdString(
            kivo::scene::formatRepeatSectionTime(m_session.engine().currentPosition()));
        edit(kTitleEdit)->setText(QStringLiteral("제목없음"));
        edit(kCountEdit)->setText(QStringLiteral("2"));
        edit(kStartEdit)->setText(now);
        edit(kEndEdit)->setText(now);
    } else {
        fillEdits(m_modifiedRow);
    }
    showEditView(true);
    edit(kTitleEdit)->setFocus();
}

void CRepeatSectionPanel::fillEdits(int row) {
    const CRepeatSection &section = m_session.description()->repeatSections()[size_t(row)];
    edit(kTitleEdit)->setText(QString::fromStdString(section.title));
    edit(kStartEdit)->setText(timeEditText(section.start, section.end));
    edit(kEndEdit)->setText(timeEditText(section.end, section.start));
    edit(kCountEdit)
        ->setText(QString::fromStdString(kivo::lists::repeatCountText(section.repeatCount)));
}

int CRepeatSectionPanel::confirm() {
    const kivo::lists::CCheckedSection checked = kivo::lists::checkSection(
        edit(kStartEdit)->text().toStdString(), edit(kEndEdit)->text().toStdString(),
        edit(kCountEdit)->text().toStdString());
    switch (checked.check) {
        case kivo::lists::SectionCheck::InvalidTime:
            kivo::ui::messageBox(this, QStringLiteral("시작 시간과 끝 시간을 지정하세요."));
            return 0;
        case kivo::lists::SectionCheck::EqualTimes:
            kivo::ui::messageBox(this, QStringLiteral("시작 시간과 끝 시간이 같습니다."));
            return 0;
        case kivo::lists::SectionCheck::NegativeCount:
            kivo::ui::messageBox(this,
                                 QStringLiteral("반복횟수가 잘못 입력되었습니다. 다시 입력하세요"));
            edit(kCountEdit)->setFocus();
            return 0;
        case kivo::lists::SectionCheck::Ok:
            break;
    }
    std::vector<CRepeatSection> &sections = m_session.description()->repeatSections();
    int row = m_modifiedRow;
    if (m_mode == kAdding) {
        sections.emplace_back();
        row = int(sections.size()) - 1;
        new QTreeWidgetItem(m_list);
    }
    CRepeatSection &section = sections[size_t(row)];
    section.title = edit(kTitleEdit)->text().toStdString();
    section.start = checked.start;
    section.end = checked.end;
    section.repeatCount = checked.count;
    setRowTexts(*m_list->topLevelItem(row), row);
    m_mode = kBrowsing;
    showEditView(false);
    kivo::lists::selectRows(*m_list, {row});
    m_session.markDescriptionChanged();
    return 1;
}

int CRepeatSectionPanel::deleteSelected() {
    const std::vector<int> rows = kivo::lists::selectedRows(*m_list);
    if (rows.empty()) {
        kivo::ui::messageBox(this, QStringLiteral("삭제할 구간을 먼저 선택하세요"));
        return 0;
    }
    std::vector<CRepeatSection> &sections = m_session.description()->repeatSections();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        sections.erase(sections.begin() + *row);
        m_transport.repeatSectionRemoved(size_t(*row));
    }
    fill();
    if (!sections.empty()) {
        // The section just before the place of the last one deleted.
        const int before = rows.back() - int(rows.size());
        kivo::lists::selectRows(*m_list, {std::clamp(before, 0, int(sections.size()) - 1)});
    }
    m_session.markDescriptionChanged();
    return 1;
}

int CRepeatSectionPanel::setRepeatList() {
    const std::vector<int> rows = kivo::lists::selectedRows(*m_list);
    if (rows.empty()) {
        kivo::ui::messageBox(this, QStringLiteral("반복할 구간을 먼저 선택하세요"));
        return 0;
    }
    return m_transport.startRepeatPlayback({rows.begin(), rows.end()});
}

int CRepeatSectionPanel::goTo(int editId) {
    const std::optional<double> position =
        kivo::scene::parseRepeatSectionTime(edit(editId)->text().toStdString());
    if (!position || *position < 0 || m_session.control() == nullptr) {
        return 0;
    }
    return m_session.control()->seekToPosition(*position);
}

void CRepeatSectionPanel::takePosition(int editId) {
    edit(editId)->setText(QString::fromStdString(
        kivo::scene::formatRepeatSectionTime(m_session.engine().currentPosition())));
}

std::unique_ptr<QMenu> CRepeatSectionPanel::contextMenu(bool onRow) {
    const bool hasSections =
        m_session.description() && !m_session.description()->repeatSections().empty();
    auto menu = std::make_unique<QMenu>(QStringLiteral("반복 구간"), this);
    kivo::lists::addMenuItem(*menu, "구간 삭제(&D)", kDeleteSections)->setEnabled(onRow);
    kivo::lists::addMenuItem(*menu, "구간 수정(&M)", kModifySection)->setEnabled(onRow);
    menu->addSeparator();
    kivo::lists::addMenuItem(*menu, "전체 선택(&A)", kSelectAll)->setEnabled(hasSections);
    kivo::lists::addMenuItem(*menu, "전체 선택 해제(&E)", kClearSelection)->setEnabled(hasSections);
    menu->addSeparator();
    kivo::lists::addMenuItem(*menu, "반복 리스트 설정(&L)", kSetRepeatList)
        ->setEnabled(!m_list->selectedItems().isEmpty());
    kivo::lists::addMenuItem(*menu, "반복 리스트 저장(&S)", kSaveSections)->setEnabled(hasSections);
    return menu;
}

void CRepeatSectionPanel::resizeEvent(QResizeEvent *event) {
    CPanelPage::resizeEvent(event);
    m_listView->setGeometry(0, kListTop, width(), height() - kListTop);
    m_editView->setGeometry(0, kListTop, width(), height() - kListTop);
    layOutListView();
    layOutEditView();
}

void CRepeatSectionPanel::layOutListView() {
    const int w = m_listView->width();
    const int h = m_listView->height();
    m_list->setGeometry(0, 0, w, h - kButtonHeight - 6);
    // The four buttons share the width under the list.
    const int ids[] = {kAddButton, kModifyButton, kDeleteButton, kSetButton};
    const int each = (w - 2) / 4;
    for (int i = 0; i < 4; ++i) {
        button(ids[i])->setGeometry(1 + i * each, h - kButtonHeight - 2, each - 1, kButtonHeight);
    }
}

void CRepeatSectionPanel::layOutEditView() {
    const int w = m_editView->width();
    const int fieldLeft = kLabelWidth + 6;
    findChild<QLabel *>(objectNameOf(1064))->setGeometry(4, 4, kLabelWidth, kRowHeight);
    edit(kTitleEdit)->setGeometry(fieldLeft, 4, w - fieldLeft - 4, kRowHeight);
    // A time row: the edit, the button that takes the position, the button that goes there.
    const auto timeRow = [&](int y, int editId, int takeId, int goId) {
        const int goLeft = w - kGoButtonWidth - 4;
        const int takeLeft = goLeft - kTakeButtonWidth - 2;
        edit(editId)->setGeometry(4, y, takeLeft - 6, kRowHeight);
        button(takeId)->setGeometry(takeLeft, y, kTakeButtonWidth, kRowHeight);
        button(goId)->setGeometry(goLeft, y, kGoButtonWidth, kRowHeight);
    };
    timeRow(4 + kRowStep, kStartEdit, kTakeStartButton, kGoToStartButton);
    timeRow(4 + 2 * kRowStep, kEndEdit, kTakeEndButton, kGoToEndButton);
    const int countTop = 4 + 3 * kRowStep;
    findChild<QLabel *>(objectNameOf(1067))->setGeometry(4, countTop, kLabelWidth, kRowHeight);
    edit(kCountEdit)->setGeometry(fieldLeft, countTop, w - fieldLeft - 4, kRowHeight);
    const int buttonsTop = countTop + kRowStep + 4;
    const int half = (w - 10) / 2;
    button(kOkButton)->setGeometry(4, buttonsTop, half, kButtonHeight);
    button(kCancelButton)->setGeometry(6 + half, buttonsTop, half, kButtonHeight);
}
