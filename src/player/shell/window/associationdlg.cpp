#include "player/shell/window/associationdlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

#include "player/shell/fileassociations.h"

const char *const CAssociationDlg::kCaption = "KIVO Player";
const char *const CAssociationDlg::kHeading = "연결 프로그램 관리";
const char *const CAssociationDlg::kOkText = "확인(&S)";
const char *const CAssociationDlg::kCancelText = "취소(&C)";

namespace {

// The group boxes go in two columns, filled row by row.
constexpr int kGroupColumns = 2;

}  // namespace

CAssociationDlg::CAssociationDlg(kivo::shell::CMimeAppsList list, QWidget *parent)
    : QDialog(parent), m_list(std::move(list)) {
    setWindowTitle(QString::fromUtf8(kCaption));
    setFont(QFont(QStringLiteral("굴림"), 9));
    createControls();
    for (const auto &[id, checked] : kivo::shell::currentAssociations(m_list)) {
        m_boxes.at(id)->setChecked(checked);
    }
}

void CAssociationDlg::createControls() {
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(kHeading), this));

    auto *groups = new QGridLayout;
    QGroupBox *group = nullptr;
    QVBoxLayout *groupLayout = nullptr;
    int groupCount = 0;
    for (const kivo::shell::CAssociationBox &box : kivo::shell::associationBoxes()) {
        if (!group || group->title() != box.group) {
            group = new QGroupBox(box.group, this);
            groupLayout = new QVBoxLayout(group);
            groupLayout->setAlignment(Qt::AlignTop);
            groups->addWidget(group, groupCount / kGroupColumns, groupCount % kGroupColumns);
            ++groupCount;
        }
        auto *check = new QCheckBox(box.label, group);
        groupLayout->addWidget(check);
        m_boxes[box.id] = check;
    }
    layout->addLayout(groups);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QString::fromUtf8(kOkText), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    m_buttons[kOkButton] = ok;
    m_buttons[kCancelButton] =
        buttons->addButton(QString::fromUtf8(kCancelText), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAssociationDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAssociationDlg::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QAbstractButton *CAssociationDlg::control(int id) const {
    if (const auto box = m_boxes.find(id); box != m_boxes.end()) {
        return box->second;
    }
    const auto button = m_buttons.find(id);
    return button == m_buttons.end() ? nullptr : button->second;
}

void CAssociationDlg::accept() {
    kivo::shell::CAssociationStates states;
    for (const auto &[id, check] : m_boxes) {
        states[id] = check->isChecked();
    }
    kivo::shell::applyAssociations(m_list, states);
    QDialog::accept();
}
