// Lays out the list pages (and the audio CD's, on a disc image of five tracks) with content in
// container windows and writes a picture of them: screenshot_listpages OUT.png (run under Xvfb).
#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <memory>

#include "../cdimage.h"
#include "player/lists/window/audiocdpanel.h"
#include "player/lists/window/findertree.h"
#include "player/lists/window/mediafinderpanel.h"
#include "player/lists/window/playlistpanel.h"
#include "player/lists/window/repeatsectionpanel.h"
#include "player/transport/playersession.h"
#include "player/transport/playertransport.h"
#include "player/transport/playlistplayer.h"
#include "scene/videodescription.h"
#include "uisupport/containerwnd.h"
#include "uisupport/skin.h"

namespace {

QLabel *framed(QWidget *page, QSize size) {
    CContainerWnd container(293, true, nullptr);
    container.addPage(page);
    container.resize(size);
    container.showPage(0);
    auto *label = new QLabel;
    label->setPixmap(container.grab());
    return label;
}

// The list pages' icons at 16 and at 32 pixels.
QLabel *icons() {
    const int ids[] = {130, 131, 132, 133, 134, 376, 377, 381};
    QImage sheet(8 * 40, 56, QImage::Format_ARGB32);
    sheet.fill(Qt::black);
    QPainter painter(&sheet);
    for (int i = 0; i < 8; ++i) {
        const QIcon icon = kivo::skin::icon(ids[i]);
        painter.drawPixmap(i * 40 + 12, 2, icon.pixmap(16, 16));
        painter.drawPixmap(i * 40 + 4, 22, icon.pixmap(32, 32));
    }
    auto *label = new QLabel;
    label->setPixmap(QPixmap::fromImage(sheet));
    return label;
}

}  // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        return 2;
    }
    CPlayerSession session;
    CPlayerTransport transport(session);
    CPlaylistPlayer player(session);
    for (const char *path :
         {"/media/clips/뉴스-2003.mpg", "/media/clips/interview.avi", "/media/music/바다.mp3",
          "/media/clips/readme.txt", "/media/music/theme.wav"}) {
        player.playlist().append(path);
    }
    std::vector<kivo::lists::CFoundFile> files;
    for (const auto &[name, length] : {std::pair{"holiday.avi", 73400320},
                                       {"뮤직비디오.mpg", 18874368},
                                       {"lecture.AVI", 52428800},
                                       {"노래.mp3", 4194304},
                                       {"jingle.wav", 262144}}) {
        files.push_back(
            {name, "2026-12-08", std::string("/home/user/media/") + name, uint64_t(length)});
    }
    QStringList folders{QStringLiteral("/home/user/media")};

    auto description = std::make_unique<CVideoDescription>();
    description->repeatSections().push_back({0, "도입부", 12e7, 45e7, 2});
    description->repeatSections().push_back({1, "chorus", 83.5e7, 101e7, 1});
    description->repeatSections().push_back({2, "끝맺음", 3605e7, 3630e7, 3});

    auto *finder = new CMediaFinderPanel(session, player, files, folders);
    QTreeWidgetItem *avi = finder->tree().videoNode()->child(0);
    avi->setExpanded(true);
    finder->tree().setCurrentItem(avi->child(0));
    auto *playlist = new CPlaylistPanel(session, transport, player);
    playlist->list().topLevelItem(1)->setSelected(true);
    auto *sections = new CRepeatSectionPanel(session, transport);
    auto *editing = new CRepeatSectionPanel(session, transport);
    session.replaceDescription(std::move(description));
    sections->list().topLevelItem(0)->setSelected(true);
    editing->list().topLevelItem(1)->setSelected(true);
    editing->runCommand(CRepeatSectionPanel::kModifyButton);

    QTemporaryDir disc;
    const std::string image =
        kivo::test::writeCdImage(disc.path().toStdString(), "disc",
                                 {{185.0, 440}, {242.5, 660}, {61.0, 880}, {3.0, 0}, {299.0, 550}});
    auto *cd = new CAudioCdPanel(session, transport, QString::fromStdString(image));
    QSignalSpy listed(cd, &CAudioCdPanel::discListed);
    cd->reread(false);
    listed.wait(5000);
    cd->list().topLevelItem(1)->setSelected(true);

    QWidget window;
    window.setPalette(QPalette(QColor(0x10, 0x12, 0x16)));
    window.setAutoFillBackground(true);
    auto *row = new QHBoxLayout(&window);
    const QSize size(330, 340);
    row->addWidget(framed(finder, size));
    row->addWidget(framed(playlist, size));
    row->addWidget(framed(sections, size));
    row->addWidget(framed(editing, size));
    row->addWidget(framed(cd, QSize(260, 340)));
    row->addWidget(icons(), 0, Qt::AlignTop);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    return window.grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
