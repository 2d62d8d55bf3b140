#include "uisupport/noticedlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

CNoticeDlg::CNoticeDlg(const QString &text, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));
    setWindowTitle(QStringLiteral("KIVO Player"));
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(32, 32));
    auto *line = new QLabel(text, this);
    line->setObjectName(QStringLiteral("static1126"));
    auto *ok = new QPushButton(QStringLiteral("확인(&S)"), this);
    ok->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(line, 1);
    auto *column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(ok, 0, Qt::AlignHCenter);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    m_timer.setSingleShot(true);
    m_timer.setInterval(kAutoCloseMs);
    connect(&m_timer, &QTimer::timeout, this, &QDialog::accept);
}

void CNoticeDlg::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (m_autoClose) {
        m_timer.start();
    }
}
