#include "player/transport/window/imagesizedlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox *pixelBox(QWidget *parent, int controlId) {
    auto *box = new QSpinBox(parent);
    box->setObjectName(QStringLiteral("control%1").arg(controlId));
    box->setRange(CImageSizeDlg::kMinimum, CImageSizeDlg::kMaximum);
    box->setValue(CImageSizeDlg::kMinimum);
    box->setSuffix(QStringLiteral(" pixel"));
    return box;
}

}  // namespace

CImageSizeDlg::CImageSizeDlg(QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));
    setWindowTitle(QStringLiteral("KIVO Player"));
    m_width = pixelBox(this, 1099);
    m_height = pixelBox(this, 1102);
    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("가로 :"), m_width);
    fields->addRow(QStringLiteral("세로 :"), m_height);
    auto *save = new QPushButton(QStringLiteral("저장(&S)"), this);
    save->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("취소(&E)"), this);
    connect(save, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);
}

QSize CImageSizeDlg::chosenSize() const {
    return QSize(m_width->value(), m_height->value());
}
