#include "segmenter/window/segmentationdlg.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>

#include "imaging/dib.h"
#include "media/grabber/videomanager.h"
#include "scene/mediatime.h"
#include "scene/scvfile.h"
#include "scenecontrols/sceneimagetree.h"
#include "segmenter/segmentationoutput.h"
#include "segmenter/window/graphpane.h"
#include "segmenter/window/imagepane.h"
#include "uisupport/asker.h"
#include "uisupport/dialogunits.h"
#include "uisupport/flatbutton.h"
#include "uisupport/flatcontrols.h"
#include "uisupport/gprogress.h"
#include "uisupport/resourcestrings.h"
#include "uisupport/skin.h"

const char *const CSegmentationDlg::kCaption = "KIVO_자동 분할 Ver 2.01";
const char *const CSegmentationDlg::kUnsupportedVideo = "본 파일은 자동분할을 지원하지 않습니다.";
const char *const CSegmentationDlg::kFinishedQuestion =
    "분할이 정상적으로 완료됐습니다.\n\n분할된 내용을 저장하시겠습니까?";
const char *const CSegmentationDlg::kStopQuestion =
    "분할이 완료되지 않았습니다. 지금 멈추면 처음부터 다시 시작해야합니다.\n\n지금 "
    "멈추시겠습니까?";
const char *const CSegmentationDlg::kSaveSoFarQuestion = "지금까지 분할된 내용을 저장하시겠습니까?";
const char *const CSegmentationDlg::kUnsavedQuestion =
    "분할된 내용이 저장되지 않았습니다. 지금 저장하시겠습니까?";
const char *const CSegmentationDlg::kSaveFailed =
    "SCV 파일을 저장하지 못했습니다. 폴더에 쓸 수 있는지, 디스크에 빈 공간이 있는지 "
    "확인하세요.\n\n%1";
const char *const CSegmentationDlg::kSaveFilter = "영상분할 파일 (*.scv)|*.scv";

namespace {

constexpr int kTooltipOpenVideo = 1081;
constexpr int kTooltipSaveScv = 1082;
constexpr int kDialogWidth = 379;
constexpr int kDialogHeight = 251;
constexpr int kWeightResource = 361;
constexpr double kThreshold = 0.95;

// Positions of the dialog template, in dialog units.
struct Placement {
    int id;
    int x, y, width, height;
};

constexpr Placement kPlacements[] = {
    {CSegmentationDlg::kFileNameEdit, 30, 15, 157, 13},
    {CSegmentationDlg::kOpenButton, 191, 15, 12, 14},
    {CSegmentationDlg::kSaveButton, 206, 15, 12, 14},
    {CSegmentationDlg::kStartButton, 254, 14, 37, 15},
    {CSegmentationDlg::kStopButton, 295, 14, 37, 15},
    {CSegmentationDlg::kExitButton, 336, 14, 36, 15},
    {1002, 7, 10, 365, 1},
    {1006, 7, 32, 365, 1},
    {1007, 7, 217, 365, 1},
    {1008, 7, 239, 365, 1},
    {CSegmentationDlg::kCurrentPane, 7, 37, 149, 160},
    {CSegmentationDlg::kCutPane, 159, 37, 149, 160},
    {CSegmentationDlg::kTreePlaceholder, 311, 37, 61, 160},
    {CSegmentationDlg::kCurrentFrame, 40, 201, 24, 12},
    {CSegmentationDlg::kCurrentTime, 95, 201, 31, 12},
    {CSegmentationDlg::kScore, 153, 201, 35, 12},
    {CSegmentationDlg::kGraph, 191, 201, 75, 12},
    {CSegmentationDlg::kCutFrame, 293, 201, 24, 12},
    {CSegmentationDlg::kCutTime, 341, 201, 31, 12},
    {CSegmentationDlg::kTotalFrames, 40, 223, 24, 12},
    {CSegmentationDlg::kTotalTime, 95, 223, 31, 12},
    {CSegmentationDlg::kProgress, 153, 223, 219, 11},
};

// The labels in front of the controls they name.
struct Label {
    int forId;
    const char *text;
    int x, width;
};

constexpr Label kLabels[] = {
    {CSegmentationDlg::kFileNameEdit, "파일명", 7, 22},
    {CSegmentationDlg::kCurrentFrame, "현 프레임", 7, 32},
    {CSegmentationDlg::kCurrentTime, "현 시간", 67, 27},
    {CSegmentationDlg::kScore, "특징량", 128, 24},
    {CSegmentationDlg::kCutFrame, "프레임", 269, 23},
    {CSegmentationDlg::kCutTime, "시  간", 320, 20},
    {CSegmentationDlg::kTotalFrames, "총 프레임", 7, 32},
    {CSegmentationDlg::kTotalTime, "총 시간", 67, 27},
    {CSegmentationDlg::kProgress, "진행률", 128, 24},
};

constexpr int kDisplays[] = {CSegmentationDlg::kCurrentFrame, CSegmentationDlg::kCurrentTime,
                             CSegmentationDlg::kScore,        CSegmentationDlg::kCutFrame,
                             CSegmentationDlg::kCutTime,      CSegmentationDlg::kTotalFrames,
                             CSegmentationDlg::kTotalTime};

QString frameText(double frame) {
    return QString::asprintf("%.0f", frame);
}

std::unique_ptr<CDib> copyOf(const CDib *picture) {
    return picture ? std::make_unique<CDib>(*picture) : nullptr;
}

}  // namespace

// What the window keeps of one report: copied on the worker thread, shown on the window's.
struct CSegmentationDlg::ReportCopy {
    int generation = 0;
    double frame = 0;
    double cutFrame = -1;
    double score = 0;
    bool finished = false;
    bool stopped = false;
    std::shared_ptr<CDib> cut;
};

void registerSegmentationStrings() {
    kivo::ui::registerResourceString(kTooltipOpenVideo, QStringLiteral("동영상 파일 열기"));
    kivo::ui::registerResourceString(kTooltipSaveScv, QStringLiteral("SCV 파일생성"));
}

QString CSegmentationDlg::openFilter() {
    return QStringLiteral("모든 미디어 파일(모든 형식)|") +
           QStringLiteral("*.mpeg;*.mpg;*.m1v;*.mp2;*.mpa;*.mpe;") +
           QStringLiteral("*.avi;*.wmv;*.dat;") + QStringLiteral("*.mov;*.qt;|") +
           QStringLiteral("동영상 파일 (*.mpeg;*.mpg;*.m1v;*.mp2;*.mpa;*.mpe)|") +
           QStringLiteral("*.mpeg;*.mpg;*.m1v;*.mp2;*.mpa;*.mpe;|") +
           QStringLiteral("비디오 파일 (*.avi;*.wmv;*.dat)|") +
           QStringLiteral("*.avi;*.wmv;*.dat;|") + QStringLiteral("QuickTime 파일 (*.mov;*.qt)|") +
           QStringLiteral("*.mov;*.qt;|") + QStringLiteral("모든 파일 (*.*)|*.*;|");
}

CSegmentationDlg::CSegmentationDlg(QWidget *parent)
    : QDialog(parent), m_dialogFont(QStringLiteral("굴림"), 9) {
    registerSegmentationStrings();
    m_network.LoadFromResource(kWeightResource, "WEI_DATA");
    setWindowTitle(QString::fromUtf8(kCaption));
    setWindowIcon(kivo::skin::icon(kivo::skin::kSegmentationIcon));
    kivo::ui::setApplicationTitle(QString::fromUtf8(kCaption));
    setFont(m_dialogFont);
    createControls();
    placeControls();
    reset();
}

CSegmentationDlg::~CSegmentationDlg() {
    requestSegmentationStop();
    m_run.wait();
    release();
}

void CSegmentationDlg::createControls() {
    m_fileName = new COVFlatEdit(this);
    m_controls[kFileNameEdit] = m_fileName;

    auto *open = new COVFlatButton(this);
    open->setIcon(kivo::skin::kOpenVideoIcon);
    open->setTooltipText(kTooltipOpenVideo);
    connect(open, &QAbstractButton::clicked, this, &CSegmentationDlg::openVideo);
    m_controls[kOpenButton] = open;

    auto *saveButton = new COVFlatButton(this);
    saveButton->setIcon(kivo::skin::kSaveScvIcon);
    saveButton->setTooltipText(kTooltipSaveScv);
    connect(saveButton, &QAbstractButton::clicked, this, &CSegmentationDlg::save);
    m_controls[kSaveButton] = saveButton;

    const struct {
        int id;
        const char *text;
        void (CSegmentationDlg::*action)();
    } textButtons[] = {
        {kStartButton, "시  작(&S)", &CSegmentationDlg::start},
        {kStopButton, "멈  춤(&T)", &CSegmentationDlg::stop},
        {kExitButton, "종  료(&X)", nullptr},
    };
    for (const auto &entry : textButtons) {
        auto *button = new COVFlatButton(this);
        button->setText(QString::fromUtf8(entry.text));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        if (entry.action) {
            connect(button, &QAbstractButton::clicked, this, entry.action);
        } else {
            connect(button, &QAbstractButton::clicked, this, &QWidget::close);
        }
        m_controls[entry.id] = button;
    }

    for (const int id : {1002, 1006, 1007, 1008}) {
        m_controls[id] = new COVSeparator(this);
    }
    m_currentPane = new CImagePane(this);
    m_controls[kCurrentPane] = m_currentPane;
    m_cutPane = new CImagePane(this);
    m_controls[kCutPane] = m_cutPane;

    for (const int id : kDisplays) {
        auto *display = new COVFlatEdit(this);
        display->setReadOnly(true);
        display->setEnabled(false);
        display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        // The template's displays are narrow: give the digits the whole width, one size down.
        display->setStyleSheet(display->styleSheet() +
                               QStringLiteral("QLineEdit { padding: 0px 1px; }"));
        QFont digits = m_dialogFont;
        digits.setPointSize(m_dialogFont.pointSize() - 1);
        display->setFont(digits);
        m_controls[id] = display;
    }
    m_graph = new CGraphPane(this);
    m_controls[kGraph] = m_graph;
    m_progress = new COVGProgress(this);
    m_progress->setRange(0, 100);
    m_controls[kProgress] = m_progress;

    m_tree = new CSceneImageTree(this);
    m_tree->loadBitmaps(kivo::skin::kNormalCell, kivo::skin::kSelectedCell,
                        kivo::skin::kCollapsedButton, kivo::skin::kExpandedButton,
                        kivo::skin::kTransparentColor);
    m_tree->setThumbnailRect(3, 3, 35, 18);
    m_tree->setSizeRate(1.0f);
    m_tree->setEnabled(false);
    m_controls[kTreePlaceholder] = m_tree;

    for (const Label &label : kLabels) {
        auto *text = new QLabel(QString::fromUtf8(label.text), this);
        text->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_labels[label.forId] = text;
    }
}

void CSegmentationDlg::placeControls() {
    const CDialogUnits units(m_dialogFont);
    setFixedSize(units.x(kDialogWidth), units.y(kDialogHeight));
    for (const Placement &placement : kPlacements) {
        m_controls.at(placement.id)
            ->setGeometry(units.rect(placement.x, placement.y, placement.width, placement.height));
    }
    for (const Label &label : kLabels) {
        const QRect target = m_controls.at(label.forId)->geometry();
        const QRect left = units.rect(label.x, 0, label.width, 0);
        m_labels.at(label.forId)
            ->setGeometry(left.left(), target.top(), left.width(), target.height());
    }
}

QWidget *CSegmentationDlg::control(int id) const {
    const auto found = m_controls.find(id);
    return found == m_controls.end() ? nullptr : found->second;
}

QString CSegmentationDlg::displayText(int id) const {
    const auto *edit = qobject_cast<const QLineEdit *>(control(id));
    return edit ? edit->text() : QString();
}

QString CSegmentationDlg::fileName() const {
    return m_fileName->text();
}

int CSegmentationDlg::progress() const {
    return m_progress->pos();
}

void CSegmentationDlg::setDisplay(int id, const QString &text) {
    if (auto *edit = qobject_cast<QLineEdit *>(control(id))) {
        edit->setText(text);
    }
}

void CSegmentationDlg::showTime(int id, double frame) {
    const double time = m_video ? m_video->frameToTime(frame) : -1.0;
    setDisplay(id,
               time < 0 ? QString() : QString::fromStdString(kivo::scene::formatMediaTime(time)));
}

void CSegmentationDlg::setState(State state) {
    m_state = state;
    const bool fileControls = state != kRunning;
    m_fileName->setEnabled(fileControls);
    control(kOpenButton)->setEnabled(fileControls);
    control(kStartButton)->setEnabled(state == kOpened || state == kStopped || state == kFinished);
    control(kStopButton)->setEnabled(state == kRunning);
    control(kSaveButton)->setEnabled(state == kStopped || state == kFinished);
}

void CSegmentationDlg::reset() {
    m_video.reset();
    m_description.reset();
    m_unsaved = false;
    m_totalFrames = 0;
    m_fileName->clear();
    for (const int id : kDisplays) {
        setDisplay(id, QString());
    }
    setDisplay(kScore, QStringLiteral("0.00"));
    m_currentPane->clear();
    m_cutPane->clear();
    m_graph->clear();
    m_progress->setPos(0);
    setState(kIdle);
}

void CSegmentationDlg::release() {
    ++m_generation;
    m_tree->detach();
    m_displayed.root().clearChildren();
    m_description.reset();
    m_video.reset();
    m_currentPane->clear();
    m_cutPane->clear();
    m_graph->clear();
}

void CSegmentationDlg::waitForWorker() {
    m_run.wait();
}

void CSegmentationDlg::openVideo() {
    kivo::ui::CFileRequest request;
    request.filter = openFilter();
    const QString path = kivo::ui::openFileName(this, request);
    if (!path.isEmpty()) {
        openVideoPath(path);
    }
}

bool CSegmentationDlg::openVideoPath(const QString &path) {
    requestSegmentationStop();
    m_run.wait();
    release();
    reset();
    auto video = std::make_unique<CVideoManager>();
    if (!video->open(path.toStdString())) {
        release();
        kivo::ui::messageBox(this, QString::fromUtf8(kUnsupportedVideo));
        return false;
    }
    m_video = std::move(video);
    m_description = std::make_unique<CVideoDescription>();
    m_description->setMediaPath(path.toStdString());
    m_fileName->setText(path);
    m_totalFrames = m_video->duration();
    setDisplay(kTotalFrames, frameText(m_totalFrames));
    showTime(kTotalTime, m_totalFrames);
    setState(kOpened);
    m_displayed.root().clearChildren();
    m_tree->attach(&m_displayed, m_video.get());
    return true;
}

void CSegmentationDlg::resetDisplayedTree() {
    CSceneNode &root = m_displayed.root();
    root.clearChildren();
    CSceneNode *level1 = root.addChild(0.0);
    level1->addChild(0.0);
    root.setExpanded(1);
    level1->setExpanded(1);
    m_tree->reset();
}

void CSegmentationDlg::start() {
    if (fileName().isEmpty() || !m_video || !m_description || m_run.running()) {
        return;
    }
    m_unsaved = true;
    setState(kRunning);
    const int generation = ++m_generation;
    takeLatestPicture();
    m_currentPane->clear();
    m_cutPane->clear();
    m_graph->clear();
    m_progress->setPos(0);
    resetDisplayedTree();

    SegmentationParams params;
    params.video = m_video.get();
    params.description = m_description.get();
    params.network = &m_network;
    params.threshold = kThreshold;
    params.networkDetectorOn = 1;
    params.darkRunDetectorOn = 1;
    params.report = [this, generation](const SegmentationReport &report) {
        if (generation == m_generation) {
            onReport(report);
        }
    };
    if (!m_run.start(params)) {
        setState(kOpened);
    }
}

void CSegmentationDlg::onReport(const SegmentationReport &report) {
    auto copy = std::make_shared<ReportCopy>();
    copy->generation = m_generation;
    copy->frame = report.frame;
    copy->cutFrame = report.cutFrame;
    copy->score = report.score;
    copy->finished = report.finished != 0;
    copy->stopped = report.stopped != 0;
    if (report.currentImage) {
        keepLatestPicture(*report.currentImage);
    }
    copy->cut = copyOf(report.cutImage);
    QMetaObject::invokeMethod(
        this, [this, copy] { applyReport(*copy); }, Qt::QueuedConnection);
}

void CSegmentationDlg::applyReport(const ReportCopy &report) {
    if (report.generation != m_generation) {
        return;
    }
    if (report.finished) {
        finishRun();
        return;
    }
    if (report.stopped) {
        return;
    }
    if (std::unique_ptr<CDib> picture = takeLatestPicture()) {
        m_currentPane->setPicture(std::move(picture));
    }
    if (report.cut) {
        m_cutPane->setPicture(std::make_unique<CDib>(*report.cut));
    }
    if (report.frame > 0) {
        setDisplay(kCurrentFrame, frameText(report.frame));
        showTime(kCurrentTime, report.frame);
    }
    if (report.cutFrame > -1) {
        setDisplay(kCutFrame, frameText(report.cutFrame));
        showTime(kCutTime, report.cutFrame);
        CSceneNode *level1 = m_displayed.root().child(0);
        if (level1 && report.cutFrame > 0) {
            level1->addChild(report.cutFrame);
        }
        m_tree->relayout(false);
        m_tree->scrollToRow(-1);
    }
    setDisplay(kScore, QString::asprintf("%+8.6f", report.score));
    m_graph->append(report.score);
    if (m_totalFrames > 0) {
        m_progress->setPos(static_cast<int>(report.frame / m_totalFrames * 100));
    }
    emit reportShown(report.frame, report.cutFrame, report.score);
}

void CSegmentationDlg::keepLatestPicture(const CDib &picture) {
    std::lock_guard lock(m_pictureMutex);
    if (m_latestPicture) {
        *m_latestPicture = picture;
    } else {
        m_latestPicture = std::make_unique<CDib>(picture);
    }
}

std::unique_ptr<CDib> CSegmentationDlg::takeLatestPicture() {
    std::lock_guard lock(m_pictureMutex);
    return std::move(m_latestPicture);
}

bool CSegmentationDlg::askYes(const char *question, kivo::ui::MessageIcon icon) {
    return kivo::ui::messageBox(this, QString::fromUtf8(question), kivo::ui::MessageButtons::YesNo,
                                icon) == kivo::ui::kAnswerYes;
}

void CSegmentationDlg::finishRun() {
    m_run.wait();
    m_progress->setPos(100);
    if (askYes(kFinishedQuestion, kivo::ui::MessageIcon::Question)) {
        save();
    }
    setState(kFinished);
}

void CSegmentationDlg::stop() {
    if (!m_run.running()) {
        return;
    }
    requestSegmentationPause();
    if (!askYes(kStopQuestion, kivo::ui::MessageIcon::Warning)) {
        releaseSegmentationPause();
        return;
    }
    requestSegmentationStop();
    m_run.wait();
    // Reports still queued belong to the stopped run: the window shows what it has.
    ++m_generation;
    if (askYes(kSaveSoFarQuestion, kivo::ui::MessageIcon::Question)) {
        save();
    }
    setState(kStopped);
}

void CSegmentationDlg::save() {
    if (!m_unsaved || !m_description || m_run.running()) {
        return;
    }
    kivo::ui::CFileRequest request;
    request.save = true;
    request.filter = QString::fromUtf8(kSaveFilter);
    request.defaultExtension = QStringLiteral("scv");
    request.initialPath = QString::fromStdString(kivo::proposedScvPath(fileName().toStdString()));
    request.overwritePrompt = true;
    const QString path = kivo::ui::saveFileName(this, request);
    if (path.isEmpty()) {
        return;
    }
    if (!saveScv(*m_description, path.toStdString())) {
        kivo::ui::messageBox(this, QString::fromUtf8(kSaveFailed).arg(path),
                             kivo::ui::MessageButtons::Ok, kivo::ui::MessageIcon::Error);
        return;
    }
    m_unsaved = false;
}

void CSegmentationDlg::closeEvent(QCloseEvent *event) {
    requestSegmentationStop();
    m_run.wait();
    if (m_unsaved && askYes(kUnsavedQuestion, kivo::ui::MessageIcon::Question)) {
        save();
    }
    release();
    reset();
    event->accept();
    QDialog::reject();
}

// Escape and the title bar go the same way as the exit button: through the close questions.
void CSegmentationDlg::reject() {
    close();
}
