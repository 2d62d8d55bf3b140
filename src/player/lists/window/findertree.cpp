#include "player/lists/window/findertree.h"

#include <algorithm>

#include "player/lists/mediakind.h"
#include "uisupport/skin.h"

namespace {

constexpr int kIndexRole = Qt::UserRole;
constexpr QRgb kTreeTextColour = 0xFFFFD903;

// The text after the last '.' of a name, as found.
QString extensionOf(const QString &name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? QString() : name.mid(dot + 1);
}

QTreeWidgetItem *makeNode(QTreeWidgetItem *parent, const QString &text, int icon) {
    auto *node = new QTreeWidgetItem(parent, {text});
    node->setIcon(0, kivo::skin::icon(icon));
    node->setData(0, kIndexRole, qlonglong(-1));
    return node;
}

}  // namespace

CFinderTree::CFinderTree(QWidget *parent) : COVTreeCtrl(parent) {
    QPalette colours = palette();
    colours.setColor(QPalette::Base, Qt::black);
    colours.setColor(QPalette::Text, QColor::fromRgb(kTreeTextColour));
    setPalette(colours);
    setIconSize(QSize(16, 16));
    setContextMenuPolicy(Qt::CustomContextMenu);
    resetGroups();
}

void CFinderTree::resetGroups() {
    clear();
    m_root = makeNode(nullptr, QStringLiteral("Media files"), kivo::skin::kMediaFilesIcon);
    addTopLevelItem(m_root);
    m_video = makeNode(m_root, QStringLiteral("Video"), kivo::skin::kVideoIcon);
    m_audio = makeNode(m_root, QStringLiteral("Audio"), kivo::skin::kAudioIcon);
}

void CFinderTree::expandGroups() {
    for (QTreeWidgetItem *node : {m_root, m_video, m_audio}) {
        node->setExpanded(true);
    }
}

QTreeWidgetItem *CFinderTree::extensionNode(const QString &extension, int kind) {
    // The groups are searched in order, so a known extension joins the node it already has.
    for (QTreeWidgetItem *group : {m_video, m_audio}) {
        for (int i = 0; i < group->childCount(); ++i) {
            if (group->child(i)->text(0).compare(extension, Qt::CaseInsensitive) == 0) {
                return group->child(i);
            }
        }
        if ((group == m_video && kind == kivo::lists::kVideo) ||
            (group == m_audio && kind == kivo::lists::kAudio)) {
            return makeNode(group, extension, kivo::skin::kExtensionIcon);
        }
    }
    return nullptr;
}

void CFinderTree::insertFiles(const std::vector<kivo::lists::CFoundFile> &files, size_t first) {
    setUpdatesEnabled(false);
    for (size_t index = first; index < files.size(); ++index) {
        const QString name = QString::fromStdString(files[index].name);
        const QString extension = extensionOf(name);
        const int kind = kivo::lists::kindOfExtension(extension.toLower().toStdString());
        if (QTreeWidgetItem *node = extensionNode(extension, kind)) {
            makeNode(node, name, kivo::skin::kMediaFileIcon)
                ->setData(0, kIndexRole, qlonglong(index));
        }
    }
    setUpdatesEnabled(true);
}

qsizetype CFinderTree::fileIndex(const QTreeWidgetItem *item) {
    return item ? qsizetype(item->data(0, kIndexRole).toLongLong()) : -1;
}

template <typename Visit>
void CFinderTree::forEachFileItem(Visit visit) const {
    for (QTreeWidgetItem *group : {m_video, m_audio}) {
        for (int e = 0; e < group->childCount(); ++e) {
            QTreeWidgetItem *extension = group->child(e);
            for (int f = extension->childCount(); f-- > 0;) {
                visit(extension->child(f));
            }
        }
    }
}

std::vector<size_t> CFinderTree::selectedFiles() const {
    std::vector<size_t> indices;
    for (const QTreeWidgetItem *item : selectedItems()) {
        if (const qsizetype index = fileIndex(item); index >= 0) {
            indices.push_back(size_t(index));
        }
    }
    std::sort(indices.begin(), indices.end());
    return indices;
}

void CFinderTree::removeFiles(const std::vector<size_t> &removed) {
    forEachFileItem([&removed](QTreeWidgetItem *item) {
        const size_t index = size_t(fileIndex(item));
        const auto at = std::lower_bound(removed.begin(), removed.end(), index);
        if (at != removed.end() && *at == index) {
            delete item;
        } else {
            item->setData(0, kIndexRole, qlonglong(index - size_t(at - removed.begin())));
        }
    });
}
