#include "player/lists/window/mediafinderpanel.h"

#include <QFile>
#include <QLabel>
#include <QMenu>

#include <algorithm>
#include <deque>
#include <iterator>
#include <mutex>

#include "player/lists/folderhistory.h"
#include "player/lists/mediascan.h"
#include "player/lists/window/findertree.h"
#include "player/lists/window/listwidgets.h"
#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"
#include "player/transport/playlistplayer.h"
#include "uisupport/asker.h"
#include "uisupport/flatbutton.h"
#include "uisupport/flatcontrols.h"
#include "uisupport/skin.h"

namespace {

constexpr int kButtonSize = 20;

COVFlatButton *makeIconButton(QWidget *parent, int icon, const QString &tooltip) {
    auto *button = new COVFlatButton(parent);
    button->setIcon(icon);
    button->setTooltipText(tooltip);
    return button;
}

std::vector<std::string> toStd(const QStringList &texts) {
    std::vector<std::string> result;
    for (const QString &text : texts) {
        result.push_back(text.toStdString());
    }
    return result;
}

}  // namespace

// The files a search found that the window has not taken yet. The worker posts a take only when
// none is waiting, and a take handles at most kFilesPerTurn files before it posts the next one,
// so however fast a search finds files the window repaints between takes.
class CMediaFinderPanel::CFoundFileBox {
public:
    struct CTaken {
        std::vector<kivo::lists::CFoundFile> files;
        bool more = false;      // files are left: take again
        bool finished = false;  // the search has ended and every file was taken
    };

    // True when a take must be posted.
    bool put(std::vector<kivo::lists::CFoundFile> batch) {
        std::lock_guard lock(m_mutex);
        std::move(batch.begin(), batch.end(), std::back_inserter(m_files));
        return claimPost();
    }
    // The search has ended. True when a take must be posted.
    bool close() {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        return claimPost();
    }
    CTaken take(size_t limit) {
        std::lock_guard lock(m_mutex);
        CTaken taken;
        const size_t count = std::min(limit, m_files.size());
        taken.files.assign(std::make_move_iterator(m_files.begin()),
                           std::make_move_iterator(m_files.begin() + std::ptrdiff_t(count)));
        m_files.erase(m_files.begin(), m_files.begin() + std::ptrdiff_t(count));
        taken.more = !m_files.empty();
        taken.finished = !taken.more && m_closed;
        m_posted = taken.more;
        return taken;
    }

private:
    bool claimPost() {
        const bool post = !m_posted;
        m_posted = true;
        return post;
    }

    std::mutex m_mutex;
    std::deque<kivo::lists::CFoundFile> m_files;
    bool m_closed = false;
    bool m_posted = false;
};

CMediaFinderPanel::CMediaFinderPanel(CPlayerSession &session, CPlaylistPlayer &player,
                                     std::vector<kivo::lists::CFoundFile> &files,
                                     QStringList &folders, QWidget *parent)
    : CPanelPage(kDialogId, QStringLiteral("미디어 파일 찾기"), parent),
      m_session(session),
      m_player(player),
      m_files(files),
      m_folders(folders),
      m_browse(
          makeIconButton(this, kivo::skin::kBrowseFolderIcon, QStringLiteral("검색할 폴더 선택"))),
      m_search(makeIconButton(this, kivo::skin::kSearchIcon, QStringLiteral("미디어 파일 찾기"))),
      m_stop(makeIconButton(this, kivo::skin::kStopSearchIcon, QStringLiteral("파일 찾기 중지"))),
      m_folder(new COVFlatComboBox(this)),
      m_topSeparator(new COVSeparator(this)),
      m_tree(new CFinderTree(this)),
      m_bottomSeparator(new COVSeparator(this)),
      m_sizeLabel(new QLabel(QStringLiteral("용량 :"), this)),
      m_size(new COVFlatEdit(this)),
      m_pathLabel(new QLabel(QStringLiteral("경로 :"), this)),
      m_path(new COVFlatEdit(this)) {
    m_stop->hide();
    m_folder->setEditable(true);
    m_folder->addItems(m_folders);
    // The folder searched last is offered again.
    m_folder->setCurrentIndex(int(m_folders.size()) - 1);
    m_size->setReadOnly(true);
    m_path->setReadOnly(true);
    m_tree->insertFiles(m_files, 0);
    m_tree->expandGroups();

    connect(m_browse, &QAbstractButton::clicked, this, &CMediaFinderPanel::browse);
    connect(m_search, &QAbstractButton::clicked, this, &CMediaFinderPanel::search);
    connect(m_stop, &QAbstractButton::clicked, this, &CMediaFinderPanel::stopSearch);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &CMediaFinderPanel::showSelectedFile);
    connect(m_tree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        if (const qsizetype index = CFinderTree::fileIndex(item); index >= 0) {
            playFile(size_t(index));
        }
    });
    connect(m_tree, &QWidget::customContextMenuRequested, this, [this](QPoint at) {
        QTreeWidgetItem *item = m_tree->itemAt(at);
        if (item != nullptr && !item->isSelected()) {
            m_tree->setCurrentItem(item);
        }
        const std::unique_ptr<QMenu> menu = contextMenu(item != nullptr);
        if (const QAction *chosen = menu->exec(m_tree->viewport()->mapToGlobal(at)); chosen) {
            runCommand(chosen->data().toInt());
        }
    });
}

CMediaFinderPanel::~CMediaFinderPanel() {
    if (m_worker.joinable()) {
        m_worker.request_stop();
        m_worker.join();
    }
}

int CMediaFinderPanel::browse() {
    const QString folder = kivo::ui::existingFolder(
        this, QStringLiteral("KIVO Player_미디어 파일 찾기"), m_folder->currentText());
    if (folder.isEmpty()) {
        return 0;
    }
    m_folder->setEditText(folder);
    return 1;
}

int CMediaFinderPanel::search() {
    const QString folder = m_folder->currentText().trimmed();
    if (folder.isEmpty()) {
        kivo::ui::messageBox(this, QStringLiteral("검색할 폴더를 먼저 지정해 주세요."));
        return 0;
    }
    m_files.clear();
    m_tree->resetGroups();
    m_searching = true;
    m_searchedFolder = folder;
    m_search->hide();
    m_stop->show();
    m_tree->setCursor(Qt::BusyCursor);
    const quint64 generation = ++m_generation;
    auto box = std::make_shared<CFoundFileBox>();
    const auto post = [this, generation, box] {
        QMetaObject::invokeMethod(
            this, [this, generation, box] { takeFound(generation, box); }, Qt::QueuedConnection);
    };
    // The worker only posts: the window takes the files and the end on its own thread.
    m_worker = std::jthread(
        [post, box, path = QFile::encodeName(folder).toStdString()](std::stop_token stop) {
            kivo::lists::CMediaScan scan([&](std::vector<kivo::lists::CFoundFile> batch) {
                if (box->put(std::move(batch))) {
                    post();
                }
            });
            scan.run(path, stop);
            if (box->close()) {
                post();
            }
        });
    return 1;
}

void CMediaFinderPanel::takeFound(quint64 generation, const std::shared_ptr<CFoundFileBox> &box) {
    CFoundFileBox::CTaken taken = box->take(kFilesPerTurn);
    if (generation != m_generation) {
        return;
    }
    const size_t first = m_files.size();
    m_files.insert(m_files.end(), std::make_move_iterator(taken.files.begin()),
                   std::make_move_iterator(taken.files.end()));
    m_tree->insertFiles(m_files, first);
    if (taken.more) {
        // Behind the repaints that were asked for meanwhile.
        QMetaObject::invokeMethod(
            this, [this, generation, box] { takeFound(generation, box); }, Qt::QueuedConnection);
    } else if (taken.finished) {
        endSearch();
    }
}

void CMediaFinderPanel::stopSearch() {
    if (m_searching) {
        m_worker.request_stop();
        // What the worker still hands over was never shown: the list stays as the user saw it.
        ++m_generation;
        endSearch();
    }
}

void CMediaFinderPanel::endSearch() {
    if (!m_searching) {
        return;
    }
    m_searching = false;
    m_stop->hide();
    m_search->show();
    m_tree->unsetCursor();
    m_tree->expandGroups();
    rememberFolder(m_searchedFolder);
    emit searchEnded();
}

void CMediaFinderPanel::rememberFolder(const QString &folder) {
    kivo::lists::CFolderHistory history(toStd(m_folders));
    if (history.add(folder.toStdString())) {
        m_folders.append(folder);
        m_folder->addItem(folder);
    }
}

void CMediaFinderPanel::showSelectedFile() {
    const qsizetype index = CFinderTree::fileIndex(m_tree->currentItem());
    if (index < 0 || size_t(index) >= m_files.size()) {
        return;
    }
    const kivo::lists::CFoundFile &file = m_files[size_t(index)];
    m_size->setText(QString::asprintf("%.4f", double(file.length) * 0.000001) +
                    QStringLiteral(" MB"));
    m_path->setText(QString::fromStdString(file.path));
}

int CMediaFinderPanel::playFile(size_t index) {
    IPlayerControl *control = m_session.control();
    if (control == nullptr || index >= m_files.size()) {
        return 0;
    }
    m_session.setAudioCdMode(false);
    m_player.leave();
    return control->openFile(QString::fromStdString(m_files[index].path), true);
}

int CMediaFinderPanel::runCommand(int id) {
    switch (id) {
        case kAddToPlaylist:
            return addSelectedToPlaylist() >= 0 ? 1 : 0;
        case kPlaySelected: {
            const qsizetype first = addSelectedToPlaylist();
            if (first < 0) {
                return 0;
            }
            const std::vector<kivo::lists::CPlaylistEntry> &entries = m_player.playlist().entries();
            m_session.setAudioCdMode(false);
            return m_player.playEntries({entries.begin() + first, entries.end()});
        }
        case kDeleteFiles:
            return deleteSelected();
        default:
            return 0;
    }
}

qsizetype CMediaFinderPanel::addSelectedToPlaylist() {
    const std::vector<size_t> selected = m_tree->selectedFiles();
    if (selected.empty()) {
        kivo::ui::messageBox(this, QStringLiteral("선택된 파일이 없습니다."));
        return -1;
    }
    QStringList paths;
    for (const size_t index : selected) {
        paths.append(QString::fromStdString(m_files[index].path));
    }
    const qsizetype first = qsizetype(m_player.playlist().size());
    m_player.addFiles(paths);
    kivo::ui::messageBox(this, QStringLiteral("재생목록에 추가되었습니다."));
    return qsizetype(m_player.playlist().size()) > first ? first : -1;
}

int CMediaFinderPanel::deleteSelected() {
    const std::vector<size_t> selected = m_tree->selectedFiles();
    if (selected.empty()) {
        kivo::ui::messageBox(this, QStringLiteral("선택된 파일이 없습니다."));
        return 0;
    }
    if (kivo::ui::messageBox(this, QStringLiteral("정말 삭제하시겠습니까?"),
                             kivo::ui::MessageButtons::YesNo,
                             kivo::ui::MessageIcon::Question) != kivo::ui::kAnswerYes) {
        return 0;
    }
    // A file the trash refuses stays where it is, and in the list.
    std::vector<size_t> trashed;
    for (const size_t index : selected) {
        if (QFile::moveToTrash(QString::fromStdString(m_files[index].path))) {
            trashed.push_back(index);
        }
    }
    m_tree->removeFiles(trashed);
    for (auto index = trashed.rbegin(); index != trashed.rend(); ++index) {
        m_files.erase(m_files.begin() + std::ptrdiff_t(*index));
    }
    return trashed.empty() ? 0 : 1;
}

std::unique_ptr<QMenu> CMediaFinderPanel::contextMenu(bool onItem) {
    auto menu = std::make_unique<QMenu>(QStringLiteral("파일찾기"), this);
    kivo::lists::addMenuItem(*menu, "재생 목록에 추가(&A)", kAddToPlaylist)->setEnabled(onItem);
    kivo::lists::addMenuItem(*menu, "선택한 파일 지금재생(&P)", kPlaySelected);
    menu->addSeparator();
    kivo::lists::addMenuItem(*menu, "선택한 파일 삭제(&D)", kDeleteFiles)->setEnabled(onItem);
    return menu;
}

void CMediaFinderPanel::resizeEvent(QResizeEvent *event) {
    CPanelPage::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_browse->setGeometry(3, 25, kButtonSize, kButtonSize);
    m_search->setGeometry(w - 24, 25, kButtonSize, kButtonSize);
    m_stop->setGeometry(w - 24, 25, kButtonSize, kButtonSize);
    m_folder->setGeometry(26, 26, w - 50, 20);
    m_topSeparator->setGeometry(0, 49, w + 1, 2);
    m_tree->setGeometry(0, 54, w, h - 107);
    m_bottomSeparator->setGeometry(0, h - 50, w + 1, 2);
    m_sizeLabel->setGeometry(2, h - 40, 34, 14);
    m_size->setGeometry(36, h - 45, w - 38, 20);
    m_pathLabel->setGeometry(2, h - 18, 34, 14);
    m_path->setGeometry(36, h - 23, w - 38, 20);
}
