#include "uisupport/noticedlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CNoticeDlg::CNoticeDlg(const QString &text, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));
    setWindowTitle(QStringLiteral("KIVO Player"));
    m_text = new QLabel(text, this);
    m_text->setObjectName(QStringLiteral("control1126"));
    auto *ok = new QPushButton(QStringLiteral("확인(&S)"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    m_closeTimer.setSingleShot(true);
    m_closeTimer.setInterval(kAutoCloseMs);
    connect(&m_closeTimer, &QTimer::timeout, this, &QDialog::accept);
}

QString CNoticeDlg::text() const {
    return m_text->text();
}

void CNoticeDlg::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (m_autoClose) {
        m_closeTimer.start();
    }
}
