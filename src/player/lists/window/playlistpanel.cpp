#include "player/lists/window/playlistpanel.h"

#include <QCheckBox>
#include <QFile>
#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>

#include <algorithm>

#include "player/lists/mediakind.h"
#include "player/lists/playlistfile.h"
#include "player/lists/window/listwidgets.h"
#include "player/transport/playerfilters.h"
#include "player/transport/playersession.h"
#include "player/transport/playertransport.h"
#include "player/transport/playlistplayer.h"
#include "uisupport/asker.h"
#include "uisupport/flatbutton.h"
#include "uisupport/flatcontrols.h"
#include "uisupport/skin.h"

namespace {

constexpr int kEntryRole = Qt::UserRole;
const QString kListFilter =
    QStringLiteral("KIVO 재생목록 파일 (*.mpl)|*.mpl;|모든 파일 (*.*)|*.*;|");

QIcon kindIcon(kivo::lists::MediaKind kind) {
    return kivo::skin::icon(kind == kivo::lists::kVideo ? kivo::skin::kVideoIcon
                                                        : kivo::skin::kAudioIcon);
}

kivo::ui::CFileRequest listFileRequest(const QString &caption) {
    kivo::ui::CFileRequest request;
    request.caption = caption;
    request.filter = kListFilter;
    request.defaultExtension = QStringLiteral("mpl");
    return request;
}

}  // namespace

CPlaylistPanel::CPlaylistPanel(CPlayerSession &session, CPlayerTransport &transport,
                               CPlaylistPlayer &player, QWidget *parent)
    : CPanelPage(kDialogId, QStringLiteral("재생 파일 목록"), parent),
      m_session(session),
      m_transport(transport),
      m_player(player),
      m_list(new QTreeWidget(this)),
      m_bottomSeparator(new COVSeparator(this)),
      m_random(new QCheckBox(QStringLiteral("랜덤"), this)),
      m_repeat(new QCheckBox(QStringLiteral("반복"), this)),
      m_set(new COVFlatButton(this)),
      m_release(new COVFlatButton(this)) {
    m_set->setText(QStringLiteral("설정(&S)"));
    m_release->setText(QStringLiteral("해제(&D)"));
    kivo::lists::styleReportList(*m_list, kivo::lists::kListTextColour);
    m_list->setHeaderLabels({QStringLiteral("종류"), QStringLiteral("파일명")});
    m_list->setColumnWidth(0, 40);
    m_list->setColumnWidth(1, 400);
    m_list->setIconSize(QSize(16, 16));
    m_list->header()->setSectionsClickable(true);
    m_random->setChecked(m_player.queue().random());
    m_repeat->setChecked(m_player.queue().repeat());
    for (QWidget *control : {static_cast<QWidget *>(m_random), static_cast<QWidget *>(m_repeat)}) {
        QPalette colours = control->palette();
        colours.setColor(QPalette::WindowText, palette().color(QPalette::WindowText));
        control->setPalette(colours);
    }

    connect(m_random, &QCheckBox::toggled, this,
            [this](bool on) { m_player.queue().setRandom(on); });
    connect(m_repeat, &QCheckBox::toggled, this,
            [this](bool on) { m_player.queue().setRepeat(on); });
    connect(m_set, &QAbstractButton::clicked, this, &CPlaylistPanel::setQueue);
    connect(m_release, &QAbstractButton::clicked, this, &CPlaylistPanel::releaseQueue);
    connect(m_list->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { sort(column == 1); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { runCommand(kPlayNow); });
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        const std::unique_ptr<QMenu> menu = contextMenu(m_list->itemAt(at) != nullptr);
        if (const QAction *chosen = menu->exec(m_list->viewport()->mapToGlobal(at)); chosen) {
            runCommand(chosen->data().toInt());
        }
    });
    connect(&m_player, &CPlaylistPlayer::entriesAdded, this, &CPlaylistPanel::showEntriesFrom);
    connect(&m_player, &CPlaylistPlayer::entryOpened, this, &CPlaylistPanel::selectEntry);
    refresh();
}

void CPlaylistPanel::refresh() {
    m_list->clear();
    const std::vector<kivo::lists::CPlaylistEntry> &entries = m_player.playlist().entries();
    for (size_t index = 0; index < entries.size(); ++index) {
        const kivo::lists::CPlaylistEntry &entry = entries[index];
        if (!entry.shown()) {
            continue;
        }
        auto *item = new QTreeWidgetItem(m_list);
        item->setIcon(0, kindIcon(entry.kind()));
        item->setText(1, QString::fromStdString(kivo::lists::upperFileName(entry.path())));
        item->setData(0, kEntryRole, qulonglong(index));
    }
}

std::vector<size_t> CPlaylistPanel::selectedEntries() const {
    std::vector<size_t> entries;
    for (const int row : kivo::lists::selectedRows(*m_list)) {
        entries.push_back(m_list->topLevelItem(row)->data(0, kEntryRole).toULongLong());
    }
    return entries;
}

void CPlaylistPanel::showEntriesFrom(qsizetype first) {
    refresh();
    std::vector<int> rows;
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        if (m_list->topLevelItem(row)->data(0, kEntryRole).toLongLong() >= first) {
            rows.push_back(row);
        }
    }
    kivo::lists::selectRows(*m_list, rows);
    m_transport.updateControls();
}

void CPlaylistPanel::selectEntry(const QString &path) {
    const std::vector<kivo::lists::CPlaylistEntry> &entries = m_player.playlist().entries();
    for (int row = 0; row < m_list->topLevelItemCount(); ++row) {
        const size_t index = m_list->topLevelItem(row)->data(0, kEntryRole).toULongLong();
        if (QString::fromStdString(entries[index].path()) == path) {
            kivo::lists::selectRows(*m_list, {row});
            return;
        }
    }
}

int CPlaylistPanel::runCommand(int id) {
    switch (id) {
        case kAddFiles:
            return addFiles();
        case kDeleteEntries:
            return deleteSelected();
        case kSortByKind:
        case kSortByName:
            return sort(id == kSortByName);
        case kSelectAll:
            m_list->selectAll();
            m_list->setFocus();
            return 1;
        case kPlayNow:
            return setQueue();
        case kOpenList:
            return openList();
        case kSaveList:
            return saveList();
        default:
            return 0;
    }
}

int CPlaylistPanel::addFiles() {
    kivo::ui::CFileRequest request;
    request.caption = QStringLiteral("KIVO Player_재생목록 추가");
    request.filter = kivo::player::mediaFilter();
    const QStringList paths = kivo::ui::openFileNames(this, request);
    if (paths.isEmpty()) {
        return 0;
    }
    for (const QString &path : paths) {
        if (!m_player.playlist().add(path.toStdString())) {
            kivo::ui::messageBox(
                this, QString::fromStdString(kivo::lists::upperFileName(path.toStdString())) +
                          QStringLiteral("은/는 KIVO에서 지원하지 않습니다."));
        }
    }
    listChanged();
    return 1;
}

int CPlaylistPanel::deleteSelected() {
    const std::vector<int> rows = kivo::lists::selectedRows(*m_list);
    if (rows.empty()) {
        kivo::ui::messageBox(this, QStringLiteral("삭제할 구간을 먼저 선택하세요"));
        return 0;
    }
    const size_t removed = m_player.playlist().remove(selectedEntries());
    listChanged();
    const int count = m_list->topLevelItemCount();
    if (count > 0) {
        const int row = std::clamp(rows.back() - int(removed), 0, count - 1);
        kivo::lists::selectRows(*m_list, {row});
    }
    return 1;
}

int CPlaylistPanel::sort(bool byName) {
    kivo::lists::CPlaylist &playlist = m_player.playlist();
    if (playlist.size() < 2) {
        return 0;
    }
    if (byName) {
        playlist.sortByKindThenName();
    } else {
        playlist.sortByKind();
    }
    refresh();
    return 1;
}

int CPlaylistPanel::setQueue() {
    const std::vector<int> rows = kivo::lists::selectedRows(*m_list);
    if (rows.empty() || (rows.size() == 1 && rows.front() == 0)) {
        m_list->selectAll();
    }
    std::vector<kivo::lists::CPlaylistEntry> queue;
    for (const size_t index : selectedEntries()) {
        queue.push_back(m_player.playlist().entries()[index]);
    }
    if (queue.empty()) {
        return 0;
    }
    m_session.setAudioCdMode(false);
    return m_player.playEntries(std::move(queue));
}

int CPlaylistPanel::releaseQueue() {
    if (m_player.queue().empty()) {
        kivo::ui::messageBox(this, QStringLiteral("선택된 재생목록이 없습니다."));
        return 0;
    }
    m_list->clearSelection();
    m_player.leave();
    kivo::ui::messageBox(this, QStringLiteral("재생목록이 해제되었습니다."));
    return 1;
}

int CPlaylistPanel::openList() {
    const QString path = kivo::ui::openFileName(
        this, listFileRequest(QStringLiteral("KIVO Player_재생목록 파일 열기")));
    if (path.isEmpty()) {
        return 0;
    }
    m_player.leave();
    m_player.playlist().clear();
    const int read =
        kivo::lists::loadPlaylistFile(QFile::encodeName(path).toStdString(), m_player.playlist());
    listChanged();
    return read;
}

int CPlaylistPanel::saveList() {
    const QString path = kivo::ui::saveFileName(
        this, listFileRequest(QStringLiteral("KIVO Player_재생목록 파일 저장")));
    if (path.isEmpty() || kivo::lists::savePlaylistFile(QFile::encodeName(path).toStdString(),
                                                        m_player.playlist()) != 1) {
        return 0;
    }
    kivo::ui::messageBox(this, QStringLiteral("정상적으로 저장되었습니다."));
    return 1;
}

void CPlaylistPanel::listChanged() {
    refresh();
    // The play button offers the list once it has entries.
    m_transport.updateControls();
}

std::unique_ptr<QMenu> CPlaylistPanel::contextMenu(bool onRow) {
    const bool hasEntries = !m_player.playlist().empty();
    auto menu = std::make_unique<QMenu>(QStringLiteral("재생목록"), this);
    kivo::lists::addMenuItem(*menu, "목록 추가(&A)", kAddFiles);
    kivo::lists::addMenuItem(*menu, "목록 삭제(&D)", kDeleteEntries)->setEnabled(onRow);
    menu->addSeparator();
    QMenu *sorting = menu->addMenu(QStringLiteral("목록 정렬"));
    kivo::lists::addMenuItem(*sorting, "종류별로", kSortByKind);
    kivo::lists::addMenuItem(*sorting, "파일명으로", kSortByName);
    sorting->menuAction()->setEnabled(hasEntries);
    kivo::lists::addMenuItem(*menu, "전체 선택(&L)", kSelectAll)->setEnabled(hasEntries);
    menu->addSeparator();
    kivo::lists::addMenuItem(*menu, "지금 재생(&P)", kPlayNow)
        ->setEnabled(!m_list->selectedItems().isEmpty());
    menu->addSeparator();
    kivo::lists::addMenuItem(*menu, "목록 열기(&O)", kOpenList);
    kivo::lists::addMenuItem(*menu, "목록 저장(&S)", kSaveList)->setEnabled(hasEntries);
    return menu;
}

void CPlaylistPanel::resizeEvent(QResizeEvent *event) {
    CPanelPage::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_bottomSeparator->setGeometry(0, h - 26, w + 1, 2);
    m_list->setGeometry(0, 25, w, h - 54);
    m_release->setGeometry(w - 50, h - 22, 48, 20);
    m_set->setGeometry(w - 101, h - 22, 48, 20);
    m_repeat->setGeometry(w - 152, h - 19, 50, 16);
    m_random->setGeometry(w - 205, h - 19, 52, 16);
}
