#include "uisupport/noticedlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CNoticeDlg::CNoticeDlg(const QString &text, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));
    setWindowTitle(QStringLiteral("KIVO Player"));
    auto *line = new QLabel(text, this);
    line->setObjectName(QStringLiteral("control1126"));
    auto *ok = new QPushButton(QStringLiteral("확인(&S)"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(line);
    layout->addLayout(buttons);
    m_closeTimer.setSingleShot(true);
    m_closeTimer.setInterval(kAutoCloseMs);
    connect(&m_closeTimer, &QTimer::timeout, this, &QDialog::accept);
}

void CNoticeDlg::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    m_closeTimer.start();
}
