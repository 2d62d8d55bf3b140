#include "player/transport/window/bufferingtimedlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "uisupport/asker.h"

CBufferingTimeDlg::CBufferingTimeDlg(int seconds, QWidget *parent)
    : QDialog(parent), m_edit(new QLineEdit(QString::number(seconds), this)), m_seconds(seconds) {
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));
    setWindowTitle(QStringLiteral("KIVO Player"));
    // Digits only, as a number edit takes them.
    m_edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), this));
    auto *save = new QPushButton(QStringLiteral("저장(&S)"), this);
    auto *cancel = new QPushButton(QStringLiteral("취소(&E)"), this);
    save->setDefault(true);
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("시간 :"), this), 0, 0);
    grid->addWidget(m_edit, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("초"), this), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("(0~60초 사이를 지정하세요)"), this), 1, 0, 1, 3);
    grid->addWidget(save, 2, 1);
    grid->addWidget(cancel, 2, 2);
    connect(save, &QPushButton::clicked, this, &CBufferingTimeDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CBufferingTimeDlg::reject);
}

void CBufferingTimeDlg::accept() {
    bool ok = false;
    const uint value = m_edit->text().toUInt(&ok);
    if (!ok || value > kMaxSeconds) {
        kivo::ui::messageBox(this, QStringLiteral("0 ~ 60사이의 시간을 입력하세요"));
        m_edit->setFocus();
        return;
    }
    m_seconds = static_cast<int>(value);
    QDialog::accept();
}
