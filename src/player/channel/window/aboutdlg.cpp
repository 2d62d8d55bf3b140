#include "player/channel/window/aboutdlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "uisupport/flatcontrols.h"
#include "uisupport/versionapp.h"

CAboutDlg::CAboutDlg(const QUrl &homePage, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));
    setWindowTitle(QStringLiteral("KIVO Player 정보"));
    auto *icon = new QLabel(this);
    icon->setPixmap(QIcon::fromTheme(QStringLiteral("kivop"), windowIcon()).pixmap(32, 32));
    auto *version = new QLabel(
        QStringLiteral("KIVO Player Ver ") + COVVersionApp::getAppProductVersion(), this);
    version->setObjectName(QStringLiteral("version"));
    auto *link = new COVHyperLink(this);
    link->setObjectName(QStringLiteral("homePage"));
    // A local page is named by its file; a web page by its address.
    link->setUrl(homePage.toString(),
                 homePage.isLocalFile() ? homePage.toLocalFile() : homePage.toDisplayString());
    auto *ok = new QPushButton(QStringLiteral("확인"), this);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *lines = new QVBoxLayout;
    lines->addWidget(version);
    lines->addWidget(link);
    auto *row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addLayout(lines, 1);
    auto *column = new QVBoxLayout(this);
    column->addLayout(row);
    column->addWidget(ok, 0, Qt::AlignHCenter);
    setFixedSize(sizeHint());
}
