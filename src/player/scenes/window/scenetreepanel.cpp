#include "player/scenes/window/scenetreepanel.h"

#include <QLabel>
#include <QMenu>

#include "media/grabber/videomanager.h"
#include "media/playback/playbackengine.h"
#include "player/scenes/window/scenepagedialogs.h"
#include "player/scenes/window/treedialogs.h"
#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"
#include "scene/videodescription.h"
#include "scenecontrols/sceneimagetree.h"
#include "uisupport/asker.h"
#include "uisupport/containerwnd.h"
#include "uisupport/flatbutton.h"
#include "uisupport/flatcontrols.h"
#include "uisupport/skin.h"

namespace {

COVFlatButton *textButton(const QString &text, int id, QWidget *parent) {
    auto *button = new COVFlatButton(parent);
    button->setObjectName(QStringLiteral("button%1").arg(id));
    button->setText(text);
    button->setFixedSize(50, 20);
    return button;
}

}  // namespace

CSceneTreePanel::CSceneTreePanel(CPlayerSession &session, float sizeRate, QWidget *parent)
    : CPanelPage(kDialogId, QStringLiteral("영상 트리"), parent),
      m_session(session),
      m_tree(new CSceneImageTree(this)),
      m_add(textButton(QStringLiteral("추가(&A)"), kAddButton, this)),
      m_modify(textButton(QStringLiteral("수정(&M)"), kModifyButton, this)),
      m_delete(textButton(QStringLiteral("삭제(&D)"), kDeleteButton, this)),
      m_titleLabel(new QLabel(QStringLiteral("제목"), this)),
      m_commentLabel(new QLabel(QStringLiteral("주석"), this)),
      m_title(new COVFlatEdit(this)),
      m_comment(new COVFlatEdit(this)),
      m_lower(new COVSeparator(this)) {
    m_tree->setObjectName(QStringLiteral("control%1").arg(kTreeId));
    m_tree->loadBitmaps(kivo::skin::kNormalCell, kivo::skin::kSelectedCell,
                        kivo::skin::kPlayerCollapsedButton, kivo::skin::kPlayerExpandedButton,
                        kivo::skin::kTransparentColor);
    m_tree->setThumbnailRect(3, 3, 35, 18);
    m_tree->setSizeRate(sizeRate > 0.0f ? sizeRate : kMinRate);

    for (COVFlatButton *button : {m_add, m_modify, m_delete}) {
        const int id = button->objectName().mid(6).toInt();
        connect(button, &QAbstractButton::clicked, this, [this, id] { runCommand(id); });
    }
    connect(m_tree, &CSceneImageTree::sceneSelected, this, &CSceneTreePanel::onSceneSelected);
    connect(m_tree, &CSceneImageTree::treeChanged, this, [this](CSceneImageTree *tree) {
        if (tree == m_tree) {
            m_session.markDescriptionChanged();
        }
    });
    connect(m_tree, &CSceneImageTree::contextRequested, this, [this](CSceneImageTree *, QPoint) {
        const std::unique_ptr<QMenu> menu = contextMenu();
        if (const QAction *chosen = menu->exec(QCursor::pos()); chosen) {
            runCommand(chosen->data().toInt());
        }
    });
    connect(&m_session, &CPlayerSession::aboutToReleaseFile, m_tree, &CSceneImageTree::detach);
    connect(&m_session, &CPlayerSession::descriptionReplaced, this, &CSceneTreePanel::attachFile);
    followFileState();
}

CSceneTreePanel::~CSceneTreePanel() {
    m_tree->detach();
}

float CSceneTreePanel::sizeRate() const {
    return m_tree->sizeRate();
}

COVFlatButton *CSceneTreePanel::button(int id) const {
    return findChild<COVFlatButton *>(QStringLiteral("button%1").arg(id),
                                      Qt::FindDirectChildrenOnly);
}

void CSceneTreePanel::attachFile() {
    CVideoDescription *description = m_session.description();
    CVideoManager &grabber = m_session.grabber();
    if (description != nullptr && grabber.isOpen()) {
        m_tree->attach(description, &grabber);
    } else {
        m_tree->detach();
    }
    m_tree->reset();
    m_imagesPrepared = false;
    followFileState();
}

int CSceneTreePanel::prepareSceneImagesOnce() {
    if (m_imagesPrepared) {
        return 1;
    }
    CTreeProgressDlg(m_session, *m_tree, this).exec();
    m_imagesPrepared = m_tree->root() != nullptr && !m_tree->cancelFlag();
    return m_imagesPrepared ? 1 : 0;
}

void CSceneTreePanel::followFileState() {
    // Adding needs an open video; modify, delete and the edits follow the selection.
    m_add->setEnabled(m_session.description() != nullptr && m_session.grabber().isOpen());
    for (QWidget *control : {static_cast<QWidget *>(m_modify), static_cast<QWidget *>(m_delete),
                             static_cast<QWidget *>(m_title), static_cast<QWidget *>(m_comment)}) {
        control->setEnabled(false);
    }
    m_title->clear();
    m_comment->clear();
}

void CSceneTreePanel::onSceneSelected(CSceneImageTree *tree, CSceneNode *node) {
    if (tree != m_tree || node == nullptr) {
        return;
    }
    m_title->setEnabled(true);
    m_comment->setEnabled(true);
    m_title->setText(QString::fromStdString(node->info().title));
    m_comment->setText(QString::fromStdString(node->info().comment));
    if (IPlayerControl *control = m_session.control()) {
        control->seekToFrame(node->frame());
    }
    const int selected = m_tree->selectionCount();
    m_delete->setEnabled(selected <= 1 && node != m_tree->root());
    m_modify->setEnabled(selected == 1);
}

int CSceneTreePanel::runCommand(int id) {
    switch (id) {
        case kAddButton:
            return addSceneAtCurrentFrame();
        case kModifyButton:
            return modifySelected();
        case kDeleteButton:
            // Deleting changes the description like any other edit: it must not be lost.
            if (m_tree->deleteSelected() != 1) {
                return 0;
            }
            m_session.markDescriptionChanged();
            return 1;
        case kMerge:
            return m_tree->mergeSelected();
        case kSplit:
            if (!m_tree->canSplit() || m_tree->splitSelected() != 1) {
                kivo::ui::messageBox(this, QStringLiteral("분할에 실패했습니다. 상위 레벨에 같은 "
                                                          "프레임이 존재하는지 확인하세요."));
                return 0;
            }
            return 1;
        case kSaveImage:
            if (m_tree->saveImage() != 1) {
                return 0;
            }
            kivo::ui::notice(this, QStringLiteral("이미지가 저장되었습니다."));
            return 1;
        case kBasicTree:
            return runBasicTree(false);
        case kEnlarge:
            return changeRate(kRateStep);
        case kShrink:
            return changeRate(-kRateStep);
        case kSaveTree:
            return m_session.control() ? m_session.control()->saveDescription() : 0;
        default:
            return 0;
    }
}

int CSceneTreePanel::runBasicTree(bool rebuildQuestionFirst) {
    if (m_tree->root() == nullptr || m_tree->video() == nullptr) {
        return 0;
    }
    const auto offerToStop = [this] {
        kivo::scenes::offerToStopPlayback(
            this, m_session,
            QStringLiteral("트리를 구성하는 동안 재생상태가 느려지거나 끊길 수 있습니다.\n"
                           "지금 재생을 멈추시겠습니까?"));
    };
    const auto rebuildAgreed = [this] {
        return m_tree->root()->childCount() == 0 ||
               kivo::scenes::askYes(this, QStringLiteral("트리를 재구성하면 기존 트리 정보가 다 "
                                                         "지워집니다.\n트리를 재구성 "
                                                         "하시겠습니까?"));
    };
    if (rebuildQuestionFirst) {
        if (!rebuildAgreed()) {
            return 0;
        }
        offerToStop();
    } else {
        offerToStop();
        if (!rebuildAgreed()) {
            return 0;
        }
    }
    CBasicTreeDlg dialog(m_session, *m_tree, this);
    dialog.exec();
    if (!dialog.hasBuilt()) {
        return 0;
    }
    if (auto *container = qobject_cast<CContainerWnd *>(window());
        container && container != static_cast<QWidget *>(this)) {
        container->showPage(0);
        container->show();
    }
    return 1;
}

int CSceneTreePanel::addSceneAtCurrentFrame() {
    m_title->setEnabled(true);
    m_comment->setEnabled(true);
    const double frame = m_session.frameAt(m_session.engine().currentPosition());
    return m_tree->addScene(frame);
}

int CSceneTreePanel::modifySelected() {
    if (m_tree->selectionCount() != 1) {
        return 0;
    }
    CSceneInfo &info = m_tree->selection().front()->info();
    info.title = m_title->text().toStdString();
    info.comment = m_comment->text().toStdString();
    // A changed title is an edit like any other: the description is marked for saving.
    m_session.markDescriptionChanged();
    kivo::ui::notice(this, QStringLiteral("정상적으로 수정되었습니다."));
    return 1;
}

int CSceneTreePanel::changeRate(float step) {
    const float rate = sizeRate() + step;
    if (rate > kMaxRate || rate < kMinRate) {
        return 0;
    }
    const QString verb = step > 0 ? QStringLiteral("확대") : QStringLiteral("축소");
    if (!kivo::scenes::askYes(this, QStringLiteral("트리를 %1할 경우 이미지를 다시 추출해야 "
                                                   "합니다. 계속하시겠습니까?")
                                        .arg(verb))) {
        return 0;
    }
    m_tree->setSizeRate(rate);
    kivo::scenes::offerToStopPlayback(
        this, m_session, kivo::scenes::stopForJobQuestion(QStringLiteral("트리 ") + verb));
    CTreeProgressDlg(m_session, *m_tree, this).exec();
    m_tree->relayout();
    return 1;
}

std::unique_ptr<QMenu> CSceneTreePanel::contextMenu() {
    using kivo::scenes::addMenuItem;
    auto menu = std::make_unique<QMenu>(QStringLiteral("장면트리"), this);
    addMenuItem(*menu, "기본 트리 구성(&C)", kBasicTree);
    menu->addSeparator();
    addMenuItem(*menu, "트리 확대(&U)", kEnlarge)->setEnabled(sizeRate() < kMaxRate);
    addMenuItem(*menu, "트리 축소(&N)", kShrink)->setEnabled(sizeRate() > kMinRate);
    menu->addSeparator();
    addMenuItem(*menu, "트리 저장(&A)", kSaveTree);
    menu->addSeparator();
    addMenuItem(*menu, "노드 합병(&M)", kMerge)->setEnabled(m_tree->canMerge());
    addMenuItem(*menu, "노드 분할(&S)", kSplit)->setEnabled(m_tree->canSplit());
    menu->addSeparator();
    addMenuItem(*menu, "노드 이미지 저장(&I)", kSaveImage);
    return menu;
}

void CSceneTreePanel::resizeEvent(QResizeEvent *event) {
    CPanelPage::resizeEvent(event);
    const int w = width();
    const int h = height();
    m_delete->move(w - 50, h - 22);
    m_modify->move(w - 101, h - 22);
    m_add->move(w - 152, h - 22);
    m_lower->setGeometry(0, h - 26, w + 1, 2);
    m_commentLabel->move(7, h - 42);
    m_comment->setGeometry(36, h - 47, w - 37, 20);
    m_titleLabel->move(7, h - 63);
    m_title->setGeometry(36, h - 67, w - 37, 20);
    m_tree->setGeometry(0, 25, w, h - 94);
}
