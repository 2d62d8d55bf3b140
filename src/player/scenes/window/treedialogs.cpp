#include "player/scenes/window/treedialogs.h"

#include <QGridLayout>
#include <QLabel>
#include <QTimer>

#include "player/scenes/window/scenepagedialogs.h"
#include "player/scenes/window/treejobs.h"
#include "player/transport/playersession.h"
#include "scenecontrols/sceneimagetree.h"
#include "uisupport/asker.h"
#include "uisupport/dlgmanager.h"
#include "uisupport/flatbutton.h"
#include "uisupport/flatcontrols.h"
#include "uisupport/gprogress.h"

namespace {

const QString kStartText = QStringLiteral("시작(&S)");
const QString kStopText = QStringLiteral("멈춤(&S)");
const QString kBuildingQuestion = QStringLiteral("현재 트리 구성중입니다. %1");

COVFlatComboBox *comboOf(const QStringList &items, QWidget *parent) {
    auto *combo = new COVFlatComboBox(parent);
    combo->setEditable(true);
    combo->addItems(items);
    combo->setCurrentIndex(0);
    return combo;
}

COVGProgress *progressBarOf(QWidget *parent) {
    auto *bar = new COVGProgress(parent);
    bar->setRange(0, 100);
    bar->setPos(0);
    return bar;
}

// Asks while the job is held: the job waits on the tree's pause flag until the answer.
bool askWhilePaused(QWidget *parent, CSceneImageTree &tree, const QString &question) {
    tree.setPauseFlag(true);
    const bool yes = kivo::scenes::askYes(parent, question);
    tree.setPauseFlag(false);
    return yes;
}

}  // namespace

CBasicTreeDlg::CBasicTreeDlg(CPlayerSession &session, CSceneImageTree &tree, QWidget *parent)
    : QDialog(parent),
      m_session(session),
      m_tree(tree),
      m_interval(comboOf(
          {QStringLiteral("자동"), QStringLiteral("5"), QStringLiteral("10"), QStringLiteral("20"),
           QStringLiteral("30"), QStringLiteral("60"), QStringLiteral("300"), QStringLiteral("600"),
           QStringLiteral("1800"), QStringLiteral("3600")},
          this)),
      m_count(comboOf(
          {QStringLiteral("기본 (30)"), QStringLiteral("자동 (영상끝까지)"), QStringLiteral("10"),
           QStringLiteral("20"), QStringLiteral("50"), QStringLiteral("100")},
          this)),
      m_start(new COVFlatButton(this)),
      m_end(new COVFlatButton(this)),
      m_progress(progressBarOf(this)) {
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));
    setWindowTitle(QStringLiteral("KIVO Player_기본 트리 구성"));
    m_start->setText(kStartText);
    m_end->setText(QStringLiteral("종료(&E)"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("시간 간격"), this), 0, 0);
    grid->addWidget(m_interval, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("초"), this), 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("노드수"), this), 1, 0);
    grid->addWidget(m_count, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("개"), this), 1, 2);
    grid->addWidget(new COVSeparator(this), 2, 0, 1, 3);
    grid->addWidget(m_progress, 3, 0, 1, 3);
    grid->addWidget(new COVSeparator(this), 4, 0, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_start);
    buttons->addWidget(m_end);
    grid->addLayout(buttons, 5, 0, 1, 3);
    connect(m_start, &QAbstractButton::clicked, this, &CBasicTreeDlg::pressStart);
    connect(m_end, &QAbstractButton::clicked, this, &CBasicTreeDlg::reject);
}

CBasicTreeDlg::~CBasicTreeDlg() {
    m_session.setBusy(false);
}

bool CBasicTreeDlg::readRequest(kivo::scenes::BasicTreeRequest &request) {
    using kivo::scenes::BasicTreeEntry;
    const int countItem = m_count->currentText() == m_count->itemText(0)   ? 0
                          : m_count->currentText() == m_count->itemText(1) ? 1
                                                                           : -1;
    switch (kivo::scenes::readBasicTreeRequest(m_interval->currentText() == m_interval->itemText(0),
                                               m_interval->currentText().toStdString(), countItem,
                                               m_count->currentText().toStdString(), request)) {
        case BasicTreeEntry::kValid:
            return true;
        case BasicTreeEntry::kIntervalTooLong:
            kivo::ui::messageBox(this, QStringLiteral("시간 간격이 너무 큽니다."));
            m_interval->setFocus();
            return false;
        case BasicTreeEntry::kCountNeededWithAuto:
            kivo::ui::messageBox(
                this, QStringLiteral("시간간격이 자동일 경우 노드수를 지정하셔야 합니다."));
            m_count->setFocus();
            return false;
        case BasicTreeEntry::kCountTooLarge:
            kivo::ui::messageBox(this, QStringLiteral("노드수가 너무 많습니다."));
            m_count->setFocus();
            return false;
    }
    return false;
}

void CBasicTreeDlg::pressStart() {
    if (m_running) {
        if (askWhilePaused(this, m_tree,
                           kBuildingQuestion.arg(QStringLiteral("멈추시겠습니까?")))) {
            m_running = false;
            m_tree.setCancelFlag(true);
            m_start->setText(kStartText);
            m_progress->setPos(0);
        }
        return;
    }
    kivo::scenes::BasicTreeRequest request;
    if (readRequest(request)) {
        build(request);
    }
}

void CBasicTreeDlg::build(const kivo::scenes::BasicTreeRequest &request) {
    m_progress->setPos(0);
    m_start->setText(kStopText);
    m_running = true;
    m_session.setBusy(true);
    kivo::scenes::buildBasicTree(m_session, m_tree, request,
                                 [this](int percent) { onProgress(percent); });
    if (m_running) {
        // The file went away under the construction: it ended without its report.
        m_running = false;
        done(Rejected);
    }
}

void CBasicTreeDlg::onProgress(int percent) {
    if (percent < 100) {
        m_progress->setPos(percent);
        return;
    }
    m_start->setText(kStartText);
    m_running = false;
    m_built = true;
    done(Accepted);
}

void CBasicTreeDlg::reject() {
    if (m_running) {
        if (!askWhilePaused(this, m_tree,
                            kBuildingQuestion.arg(QStringLiteral("종료하시겠습니까?")))) {
            return;
        }
        m_tree.setCancelFlag(true);
    }
    QDialog::reject();
}

CTreeProgressDlg::CTreeProgressDlg(CPlayerSession &session, CSceneImageTree &tree, QWidget *parent)
    : QDialog(parent), m_session(session), m_tree(tree), m_progress(progressBarOf(this)) {
    setObjectName(QStringLiteral("dialog%1").arg(kDialogId));
    setWindowTitle(QStringLiteral("KIVO Player_트리 구성"));
    auto *text = new QLabel(QStringLiteral("트리를 구성하고 있습니다. 잠시만 기다려 주세요.. 이 "
                                           "작업은 시스템 사양에 따라 몇초에서 몇분이 걸릴 수 "
                                           "있습니다."),
                            this);
    text->setWordWrap(true);
    auto *stop = new COVFlatButton(this);
    stop->setText(kStopText);
    auto *grid = new QGridLayout(this);
    grid->addWidget(text, 0, 0, 1, 2);
    grid->addWidget(new COVSeparator(this), 1, 0, 1, 2);
    grid->addWidget(m_progress, 2, 0, 1, 2);
    grid->addWidget(new COVSeparator(this), 3, 0, 1, 2);
    grid->addWidget(stop, 4, 1, Qt::AlignRight);
    connect(stop, &QAbstractButton::clicked, this, &CTreeProgressDlg::reject);
}

CTreeProgressDlg::~CTreeProgressDlg() {
    m_session.setBusy(false);
}

int CTreeProgressDlg::exec() {
    COVDlgManager::centerDlg3(this, parentWidget());
    m_running = true;
    m_session.setBusy(true);
    QTimer::singleShot(0, this, [this] {
        kivo::scenes::extractThumbnailsAgain(m_session, m_tree, [this](int percent) {
            if (percent < 0) {
                m_running = false;
                done(Accepted);
                return;
            }
            m_progress->setPos(std::min(percent, 100));
        });
    });
    return QDialog::exec();
}

void CTreeProgressDlg::reject() {
    if (m_running) {
        if (!askWhilePaused(this, m_tree,
                            kBuildingQuestion.arg(QStringLiteral("종료하시겠습니까?")))) {
            return;
        }
        m_tree.setCancelFlag(true);
        return;
    }
    QDialog::reject();
}
