#include "scenecontrols/sceneimagelist.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

#include "media/grabber/videomanager.h"
#include "scenecontrols/frameimagesaver.h"
#include "scenecontrols/sceneimagetree.h"
#include "scenecontrols/scrollbarpair.h"
#include "uisupport/skin.h"

namespace {
constexpr int kAcrossPageStep = 10;
}

CSceneImageList::CSceneImageList(QWidget *parent)
    : QWidget(parent),
      m_bars(std::make_unique<CScrollBarPair>(this, "80000", "80001")),
      m_geometry(CStripGeometry::scaled(m_cellSize, m_thumbnailRect, m_rate, m_topToBottom)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &CSceneImageList::tick);
    connect(m_bars->vertical(), &QScrollBar::valueChanged, this, &CSceneImageList::scrolled);
    connect(m_bars->horizontal(), &QScrollBar::valueChanged, this, &CSceneImageList::scrolled);
    reset();
}

CSceneImageList::~CSceneImageList() = default;

int CSceneImageList::loadBitmaps(int normal, int chosen, QRgb transparent) {
    const QImage normalImage = kivo::skin::bitmap(normal);
    const QImage chosenImage = kivo::skin::bitmap(chosen);
    if (normalImage.isNull() || chosenImage.isNull()) {
        return 0;
    }
    m_cells.setBitmaps(normalImage, chosenImage, transparent);
    m_cellSize = normalImage.size();
    recomputeGeometry();
    return 1;
}

void CSceneImageList::setThumbnailRect(int x, int y, int width, int height) {
    m_thumbnailRect = QRect(x, y, width, height);
    recomputeGeometry();
}

void CSceneImageList::setFramesPerCell(int frames) {
    if (frames > 0) {
        m_framesPerCell = frames;
        relayout();
    }
}

void CSceneImageList::setOrientation(int topToBottom) {
    m_topToBottom = topToBottom != 0;
    recomputeGeometry();
}

void CSceneImageList::setSizeRate(float rate) {
    if (!isUsableSizeRate(rate)) {
        return;
    }
    m_rate = rate;
    recomputeGeometry();
    newCache();
    relayout();
}

void CSceneImageList::recomputeGeometry() {
    m_geometry = CStripGeometry::scaled(m_cellSize, m_thumbnailRect, m_rate, m_topToBottom);
    m_cells.fitCache(m_video, m_geometry.thumbnail.size());
    relayout();
}

void CSceneImageList::newCache() {
    m_cells.newCache(m_video, m_geometry.thumbnail.size());
}

void CSceneImageList::attach(CVideoDescription *description, CVideoManager *video) {
    m_description = description;
    m_video = video;
    newCache();
    reset();
}

void CSceneImageList::detach() {
    m_timer.stop();
    m_scrolling = Scrolling::Stopped;
    m_description = nullptr;
    m_video = nullptr;
    m_cells.dropCache();
    relayout();
}

void CSceneImageList::reset() {
    m_timer.stop();
    m_cellsPerTick = 1;
    m_chosenFrame = -1;
    m_scrolling = Scrolling::Stopped;
    m_intervalMs = 10;
    m_position = 0;
    m_bars->vertical()->setSingleStep(1);
    m_bars->horizontal()->setSingleStep(1);
    m_bars->hideBoth();
    relayout();
}

double CSceneImageList::frameCount() const {
    return m_video ? m_video->duration() : 0.0;
}

QScrollBar *CSceneImageList::alongBar() const {
    return m_topToBottom ? m_bars->vertical() : m_bars->horizontal();
}

QScrollBar *CSceneImageList::verticalBar() const {
    return m_bars->vertical();
}

QScrollBar *CSceneImageList::horizontalBar() const {
    return m_bars->horizontal();
}

void CSceneImageList::relayout() {
    m_layout = stripLayout(size(), m_geometry, frameCount(), m_framesPerCell);
    m_position = std::clamp(m_position, 0, m_layout.lastPosition);
    const int acrossExcess = m_geometry.cellBreadth() - m_geometry.breadth(size());
    QScrollBar *across = m_topToBottom ? m_bars->horizontal() : m_bars->vertical();
    const CScrollBarPair::Bar alongState{m_layout.lastPosition > 0, m_layout.lastPosition,
                                         m_position, std::max(1, m_layout.visibleCells)};
    const CScrollBarPair::Bar acrossState{acrossExcess > 0, acrossExcess,
                                          std::clamp(across->value(), 0, std::max(0, acrossExcess)),
                                          kAcrossPageStep};
    if (m_topToBottom) {
        m_bars->apply(acrossState, alongState);
    } else {
        m_bars->apply(alongState, acrossState);
    }
    update();
}

void CSceneImageList::scrolled() {
    m_position = alongBar()->value();
    update();
}

void CSceneImageList::scrollTo(int position) {
    m_position = std::clamp(position, 0, m_layout.lastPosition);
    const QSignalBlocker quiet(alongBar());
    alongBar()->setValue(m_position);
    update();
}

void CSceneImageList::startScrolling(Scrolling direction, int cellsPerTick, int intervalMs) {
    m_timer.stop();
    m_cellsPerTick = cellsPerTick;
    m_intervalMs = intervalMs;
    m_scrolling = direction;
    m_timer.start(std::max(1, intervalMs));
}

void CSceneImageList::scrollForwards(int cellsPerTick, int intervalMs) {
    startScrolling(Scrolling::Forwards, cellsPerTick, intervalMs);
}

void CSceneImageList::scrollBackwards(int cellsPerTick, int intervalMs) {
    startScrolling(Scrolling::Backwards, cellsPerTick, intervalMs);
}

void CSceneImageList::stopScrolling() {
    m_timer.stop();
    m_scrolling = Scrolling::Stopped;
    update();
}

void CSceneImageList::tick() {
    int position = m_position;
    if (m_scrolling == Scrolling::Forwards) {
        position += m_cellsPerTick;
        if (position > m_layout.lastPosition) {
            position = m_layout.lastPosition;
            m_timer.stop();
            m_scrolling = Scrolling::Stopped;
        }
    } else if (m_scrolling == Scrolling::Backwards) {
        position -= m_cellsPerTick;
        if (position <= 0) {
            position = 0;
            m_timer.stop();
            m_scrolling = Scrolling::Stopped;
        }
    } else {
        m_timer.stop();
        return;
    }
    scrollTo(position);
}

double CSceneImageList::frameAt(QPoint point) const {
    if (!m_video) {
        return -1;
    }
    return stripFrameAt(size(), m_geometry, m_layout, m_position, m_framesPerCell, frameCount(),
                        point);
}

QString CSceneImageList::tooltipText(QPoint point) const {
    const double frame = frameAt(point);
    return frame < 0 ? QString() : QString::asprintf("%.0f Frame", frame);
}

int CSceneImageList::addScene(double frame) {
    if (!m_description || !m_video || !m_tree) {
        return 0;
    }
    const double scene = frame > 0 ? frame : m_chosenFrame;
    if (!(scene > 0)) {
        return 0;
    }
    return m_tree->addScene(scene);
}

int CSceneImageList::saveImage(double frame) {
    const double picture = frame >= 0 ? frame : m_chosenFrame;
    if (!m_video || picture < 0) {
        return 0;
    }
    return kivo::scenes::saveFrameImage(this, m_video, picture);
}

void CSceneImageList::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    paintStrip(painter, rect());
}

void CSceneImageList::paintStrip(QPainter &painter, const QRect &client) {
    painter.fillRect(client, Qt::black);
    if (m_description && m_video) {
        const double count = frameCount();
        const bool highlight = m_scrolling == Scrolling::Stopped;
        for (int i = 0; i <= m_layout.visibleCells + 1; ++i) {
            const double frame = static_cast<double>(m_position + i) * m_framesPerCell;
            const QRect cell = m_geometry.cell(client.size(), i);
            const bool chosen = highlight && frame == m_chosenFrame;
            // Cells past the video's end stay empty.
            m_cells.draw(painter, cell, m_geometry.thumbnail, chosen, frame > count ? -1 : frame);
        }
    }
    m_bars->fillCorner(painter);
}

void CSceneImageList::resizeEvent(QResizeEvent *) {
    m_bars->place();
    relayout();
}

void CSceneImageList::mousePressEvent(QMouseEvent *event) {
    const QPoint point = event->position().toPoint();
    const double frame = frameAt(point);
    if (frame >= 0 && event->button() == Qt::LeftButton) {
        m_chosenFrame = frame;
        update();
        emit frameChosen(this, static_cast<int>(frame));
    } else if (frame >= 0 && event->button() == Qt::RightButton) {
        emit contextRequested(this, point);
    }
    QWidget::mousePressEvent(event);
}

void CSceneImageList::mouseMoveEvent(QMouseEvent *event) {
    if (frameAt(event->position().toPoint()) < 0) {
        QToolTip::hideText();
    }
    QWidget::mouseMoveEvent(event);
}

void CSceneImageList::wheelEvent(QWheelEvent *event) {
    QScrollBar *bar = alongBar();
    if (!bar->isHidden()) {
        QCoreApplication::sendEvent(bar, event);
        return;
    }
    QWidget::wheelEvent(event);
}

bool CSceneImageList::event(QEvent *event) {
    switch (event->type()) {
        case QEvent::ToolTip: {
            const auto *help = static_cast<QHelpEvent *>(event);
            const QString text = tooltipText(help->pos());
            if (text.isEmpty()) {
                QToolTip::hideText();
            } else {
                QToolTip::showText(help->globalPos(), text, this);
            }
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::Wheel:
        case QEvent::Leave:
            QToolTip::hideText();
            break;
        default:
            break;
    }
    return QWidget::event(event);
}
