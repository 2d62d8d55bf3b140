#include "player/scenes/window/scenelistpanel.h"

#include <QMenu>

#include "media/grabber/videomanager.h"
#include "media/playback/playbackengine.h"
#include "player/scenes/window/scenepagedialogs.h"
#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"
#include "scenecontrols/sceneimagelist.h"
#include "scenecontrols/sceneimagetree.h"
#include "uisupport/asker.h"
#include "uisupport/skin.h"

namespace {

constexpr float kDefaultRate = 1.5f;
constexpr int kSlowCells = 2;
constexpr int kFastCells = 10;

}  // namespace

CSceneListPanel::CSceneListPanel(CPlayerSession &session, float sizeRate, CSceneImageTree *tree,
                                 QWidget *parent)
    : QWidget(parent), m_session(session), m_list(new CSceneImageList(this)) {
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));
    m_list->setObjectName(QStringLiteral("control%1").arg(kListId));
    m_list->loadBitmaps(kivo::skin::kStripCell, kivo::skin::kChosenStripCell,
                        kivo::skin::kTransparentColor);
    m_list->setThumbnailRect(7, 3, 32, 17);
    m_list->setFramesPerCell(1);
    m_list->setOrientation(1);
    m_list->setSizeRate(sizeRate > 0.0f ? sizeRate : kDefaultRate);
    m_list->linkTree(tree);

    connect(m_list, &CSceneImageList::frameChosen, this, [this](CSceneImageList *list, int frame) {
        if (list == m_list && m_session.control() != nullptr) {
            m_session.control()->seekToFrame(frame);
        }
    });
    connect(m_list, &CSceneImageList::contextRequested, this, [this](CSceneImageList *, QPoint) {
        const std::unique_ptr<QMenu> menu = contextMenu();
        if (const QAction *chosen = menu->exec(QCursor::pos()); chosen) {
            runCommand(chosen->data().toInt());
        }
    });
    connect(&m_session, &CPlayerSession::aboutToReleaseFile, m_list, &CSceneImageList::detach);
    connect(&m_session, &CPlayerSession::descriptionReplaced, this, &CSceneListPanel::attachFile);
}

CSceneListPanel::~CSceneListPanel() {
    m_list->detach();
}

float CSceneListPanel::sizeRate() const {
    return m_list->sizeRate();
}

void CSceneListPanel::attachFile() {
    CVideoManager &grabber = m_session.grabber();
    if (grabber.isOpen()) {
        m_list->attach(m_session.description(), &grabber);
    } else {
        m_list->detach();
    }
    m_list->reset();
}

int CSceneListPanel::runCommand(int id) {
    switch (id) {
        case kSceneSplit:
            if (m_session.description() == nullptr || m_list->addScene() != 1) {
                kivo::ui::messageBox(this, QStringLiteral("장면분할에 실패했습니다. 기존에 같은 "
                                                          "프레임이 존재하는지 확인하세요"));
                return 0;
            }
            return 1;
        case kRefresh: {
            const double frame = m_session.frameAt(m_session.engine().currentPosition());
            if (frame < 0) {
                return 0;
            }
            m_list->scrollTo(static_cast<int>(frame / m_list->framesPerCell()));
            return 1;
        }
        case kSlowBackward:
            m_list->scrollBackwards(kSlowCells, kScrollIntervalMs);
            return 1;
        case kSlowForward:
            m_list->scrollForwards(kSlowCells, kScrollIntervalMs);
            return 1;
        case kFastBackward:
            m_list->scrollBackwards(kFastCells, kScrollIntervalMs);
            return 1;
        case kFastForward:
            m_list->scrollForwards(kFastCells, kScrollIntervalMs);
            return 1;
        case kStopScrolling:
            m_list->stopScrolling();
            return 1;
        case kEnlarge:
            return changeRate(kRateStep);
        case kShrink:
            return changeRate(-kRateStep);
        case kSaveImage:
            if (m_list->saveImage() != 1) {
                return 0;
            }
            kivo::ui::notice(this, QStringLiteral("이미지가 저장되었습니다."));
            return 1;
        default:
            return 0;
    }
}

int CSceneListPanel::changeRate(float step) {
    const float rate = sizeRate() + step;
    if (rate > kMaxRate || rate < kMinRate) {
        return 0;
    }
    const QString verb = step > 0 ? QStringLiteral("확대") : QStringLiteral("축소");
    if (!kivo::scenes::askYes(
            this, QStringLiteral("리스트를 %1할 경우 이미지를 다시 추출해야 합니다.\n이 작업을 "
                                 "하는 동안 시스템에 따라 몇 초에서 몇분의 시간이 걸립니다.\n\n"
                                 "계속하시겠습니까?")
                      .arg(verb))) {
        return 0;
    }
    kivo::scenes::offerToStopPlayback(
        this, m_session, kivo::scenes::stopForJobQuestion(QStringLiteral("리스트 ") + verb));
    m_list->setSizeRate(rate);
    return 1;
}

std::unique_ptr<QMenu> CSceneListPanel::contextMenu() {
    auto menu = std::make_unique<QMenu>(QStringLiteral("장면 리스트"), this);
    kivo::scenes::addMenuItem(*menu, "장면 분할(&S)", kSceneSplit);
    menu->addSeparator();
    kivo::scenes::addMenuItem(*menu, "장면 갱신(&R)", kRefresh);
    QMenu *move = menu->addMenu(QStringLiteral("장면 이동(&M)"));
    kivo::scenes::addMenuItem(*move, "천천히 뒤로(&1)", kSlowBackward);
    kivo::scenes::addMenuItem(*move, "천천히 앞으로(&2)", kSlowForward);
    kivo::scenes::addMenuItem(*move, "빨리 뒤로(&3)", kFastBackward);
    kivo::scenes::addMenuItem(*move, "빨리 앞으로(&4)", kFastForward);
    kivo::scenes::addMenuItem(*move, "멈춤(&5)", kStopScrolling);
    menu->addSeparator();
    kivo::scenes::addMenuItem(*menu, "리스트 확대(&U)", kEnlarge)
        ->setEnabled(sizeRate() < kMaxRate);
    kivo::scenes::addMenuItem(*menu, "리스트 축소(&N)", kShrink)->setEnabled(sizeRate() > kMinRate);
    menu->addSeparator();
    kivo::scenes::addMenuItem(*menu, "장면 이미지 저장(&I)", kSaveImage);
    return menu;
}

void CSceneListPanel::resizeEvent(QResizeEvent *) {
    m_list->setGeometry(rect());
}
