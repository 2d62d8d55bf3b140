#include "player/scenes/window/treejobs.h"

#include <QObject>

#include "media/grabber/videomanager.h"
#include "player/transport/playersession.h"
#include "scene/videodescription.h"
#include "scenecontrols/sceneimagetree.h"

namespace kivo::scenes {
namespace {

// Follows the open file while a job runs: once the file is released, the job must not touch
// the tree it was given again.
class CFileWatch {
public:
    explicit CFileWatch(CPlayerSession &session)
        : m_connection(QObject::connect(&session, &CPlayerSession::aboutToReleaseFile,
                                        [this] { m_released = true; })) {}
    ~CFileWatch() { QObject::disconnect(m_connection); }
    CFileWatch(const CFileWatch &) = delete;
    CFileWatch &operator=(const CFileWatch &) = delete;

    bool released() const { return m_released; }

private:
    bool m_released = false;
    QMetaObject::Connection m_connection;
};

constexpr double kSecond = 1e7;

int countScenes(const CSceneNode &node) {
    int count = 0;
    for (int i = 0; i < node.childCount(); ++i) {
        count += 1 + countScenes(*node.child(i));
    }
    return count;
}

// The re-extraction's walk: at most kThumbnailLimit scenes are visited.
class CThumbnailWalk {
public:
    CThumbnailWalk(CSceneImageTree &tree, const CFileWatch &watch, int total,
                   const Progress &progress)
        : m_tree(tree), m_watch(watch), m_total(total), m_progress(progress) {}

    void visit(CSceneNode &node) {
        if (!goOn() || !m_tree.continueLongOperation() || m_watch.released()) {
            return;
        }
        ++m_visited;
        m_progress(m_total > 0 ? m_visited * 100 / m_total : 100);
        for (int i = 0; i < node.childCount(); ++i) {
            CSceneNode &child = *node.child(i);
            visit(child);
            if (!goOn()) {
                return;
            }
            m_tree.thumbnail(child.frame());
        }
    }

private:
    bool goOn() const {
        return m_visited < kThumbnailLimit && !m_tree.cancelFlag() && !m_watch.released();
    }

    CSceneImageTree &m_tree;
    const CFileWatch &m_watch;
    int m_total;
    const Progress &m_progress;
    int m_visited = 0;
};

}  // namespace

int buildBasicTree(CPlayerSession &session, CSceneImageTree &tree, const BasicTreeRequest &request,
                   const Progress &progress) {
    CVideoManager *video = tree.video();
    CSceneNode *root = tree.root();
    if (video == nullptr || root == nullptr) {
        return 0;
    }
    CFileWatch watch(session);
    root->clearChildren();
    tree.reset();
    tree.dropThumbnails();
    tree.clearLongOperationFlags();

    const double first = video->earliest();
    const double start = video->frameToTime(first) / kSecond;
    const double end = video->frameToTime(video->latest()) / kSecond;
    root->setFrame(first);
    tree.thumbnail(first);
    CSceneNode *startScene = root->addChild(first);

    const double step = basicTreeStep(end, request);
    int made = 0;
    bool finished = true;
    for (const double t : basicTreeTimes(start, end, request)) {
        if (tree.cancelFlag()) {
            finished = false;
            break;
        }
        const double frame = video->timeToFrame(t * kSecond);
        CSceneNode *scene = startScene->addChild(frame);
        if (scene != nullptr && made < kThumbnailLimit) {
            tree.thumbnail(frame);
        }
        ++made;
        const double next = t + step;
        progress(end > 0 ? static_cast<int>(next * 100 / end) : 100);
        if (!tree.continueLongOperation() || watch.released()) {
            finished = false;
            break;
        }
    }
    if (watch.released()) {
        return 0;
    }
    root->setExpanded(1);
    if (startScene->childCount() > 0) {
        startScene->setExpanded(1);
    }
    progress(100);
    tree.relayout();
    tree.postTreeChanged();
    return finished ? 1 : 0;
}

int extractThumbnailsAgain(CPlayerSession &session, CSceneImageTree &tree,
                           const Progress &progress) {
    CSceneNode *root = tree.root();
    if (root == nullptr) {
        progress(-1);
        return 0;
    }
    CFileWatch watch(session);
    tree.clearLongOperationFlags();
    CThumbnailWalk walk(tree, watch, countScenes(*root), progress);
    walk.visit(*root);
    progress(-1);
    if (watch.released()) {
        return 0;
    }
    tree.relayout();
    return tree.cancelFlag() ? 0 : 1;
}

}  // namespace kivo::scenes
