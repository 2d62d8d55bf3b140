#include "scenecontrols/sceneimagetree.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <cmath>

#include "media/grabber/videomanager.h"
#include "scene/mediatime.h"
#include "scenecontrols/frameimagesaver.h"
#include "scenecontrols/scenetreeedits.h"
#include "scenecontrols/scenetreewalk.h"
#include "scenecontrols/scrollbarpair.h"
#include "uisupport/skin.h"

namespace {

constexpr int kHorizontalPageStep = 10;

}  // namespace

CSceneImageTree::CSceneImageTree(QWidget *parent)
    : QWidget(parent),
      m_bars(std::make_unique<CScrollBarPair>(this, "90000", "90001")),
      m_geometry(CSceneTreeGeometry::scaled(m_cellSize, m_thumbnailRect, m_rate)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    connect(m_bars->vertical(), &QScrollBar::valueChanged, this, &CSceneImageTree::scrolled);
    connect(m_bars->horizontal(), &QScrollBar::valueChanged, this, &CSceneImageTree::scrolled);
    m_selection.setAddedHandler([this](CSceneNode *node) {
        update();
        emit sceneSelected(this, node);
    });
    reset();
}

CSceneImageTree::~CSceneImageTree() {
    endDrag();
}

int CSceneImageTree::loadBitmaps(int normal, int selected, int collapsed, int expanded,
                                 QRgb transparent) {
    const QImage normalImage = kivo::skin::bitmap(normal);
    const QImage selectedImage = kivo::skin::bitmap(selected);
    const QImage collapsedImage = kivo::skin::bitmap(collapsed);
    const QImage expandedImage = kivo::skin::bitmap(expanded);
    if (normalImage.isNull() || selectedImage.isNull() || collapsedImage.isNull() ||
        expandedImage.isNull()) {
        return 0;
    }
    m_cells.setBitmaps(normalImage, selectedImage, transparent);
    m_collapsedButton = kivo::skin::transparentPixmap(collapsedImage, transparent);
    m_expandedButton = kivo::skin::transparentPixmap(expandedImage, transparent);
    m_cellSize = normalImage.size();
    recomputeGeometry();
    return 1;
}

void CSceneImageTree::setThumbnailRect(int x, int y, int width, int height) {
    m_thumbnailRect = QRect(x, y, width, height);
    recomputeGeometry();
}

void CSceneImageTree::setSizeRate(float rate) {
    if (!isUsableSizeRate(rate)) {
        return;
    }
    m_rate = rate;
    recomputeGeometry();
    newCache();
    relayout();
}

void CSceneImageTree::recomputeGeometry() {
    m_geometry = CSceneTreeGeometry::scaled(m_cellSize, m_thumbnailRect, m_rate);
    m_cells.fitCache(m_video, m_geometry.thumbnail.size());
    update();
}

void CSceneImageTree::newCache() {
    m_cells.newCache(m_video, m_geometry.thumbnail.size());
}

void CSceneImageTree::attach(CVideoDescription *description, CVideoManager *video) {
    if (!description) {
        detach();
        return;
    }
    endDrag();
    m_description = description;
    m_video = video;
    m_root = &description->root();
    m_selection.forget();
    m_selection.setRoot(m_root);
    newCache();
    reset();
}

void CSceneImageTree::detach() {
    endDrag();
    m_description = nullptr;
    m_video = nullptr;
    m_root = nullptr;
    m_selection.forget();
    m_selection.setRoot(nullptr);
    m_cells.dropCache();
    m_pressed = false;
    m_horizontalPosition = m_verticalPosition = 0;
    m_bars->hideBoth();
    update();
}

void CSceneImageTree::reset() {
    endDrag();
    m_pressed = false;
    if (m_root) {
        m_selection.clear();
    } else {
        m_selection.forget();
    }
    m_bars->vertical()->setSingleStep(1);
    m_bars->horizontal()->setSingleStep(1);
    m_horizontalPosition = m_verticalPosition = 0;
    m_bars->hideBoth();
    relayout();
}

void CSceneImageTree::relayout(bool centreOnSelection) {
    if (!m_root) {
        m_horizontalPosition = m_verticalPosition = 0;
        m_bars->hideBoth();
        update();
        return;
    }
    const int selectedRow = centreOnSelection ? ::rowOfFirstSelected(*m_root) : 0;
    const CScrollState state =
        treeScrollState(size(), shownExtent(*m_root), m_geometry, m_horizontalPosition,
                        m_verticalPosition, centreOnSelection, selectedRow);
    m_horizontalPosition = state.horizontalPosition;
    m_verticalPosition = state.verticalPosition;
    m_bars->apply(
        {state.horizontalShown, state.horizontalMaximum, state.horizontalPosition,
         kHorizontalPageStep},
        {state.verticalShown, state.verticalMaximum, state.verticalPosition, state.verticalPage});
    update();
}

void CSceneImageTree::scrollToRow(int row) {
    QScrollBar *bar = m_bars->vertical();
    if (!m_root || bar->isHidden()) {
        return;
    }
    const int end = bar->maximum();
    m_verticalPosition = (row < 0 || row > end) ? end : row;
    const QSignalBlocker quiet(bar);
    bar->setValue(m_verticalPosition);
    update();
}

void CSceneImageTree::scrolled() {
    m_verticalPosition = m_bars->vertical()->value();
    m_horizontalPosition = m_bars->horizontal()->value();
    update();
}

const CDib *CSceneImageTree::thumbnail(double frame) {
    return m_root ? m_cells.thumbnail(frame) : nullptr;
}

void CSceneImageTree::dropThumbnails() {
    if (m_cells.cache()) {
        newCache();
        update();
    }
}

int CSceneImageTree::rowOfFirstSelected() const {
    return m_root ? ::rowOfFirstSelected(*m_root) : 0;
}

QScrollBar *CSceneImageTree::verticalBar() const {
    return m_bars->vertical();
}

QScrollBar *CSceneImageTree::horizontalBar() const {
    return m_bars->horizontal();
}

QSize CSceneImageTree::buttonSize() const {
    return m_collapsedButton.isNull() ? QSize(7, 7) : m_collapsedButton.size();
}

QPoint CSceneImageTree::rootPosition() const {
    return rootCellPosition(m_geometry, m_horizontalPosition, m_verticalPosition);
}

CTreeHit CSceneImageTree::hitTest(QPoint point) const {
    return hitTestTree(m_root, rootPosition(), m_geometry, buttonSize(), point);
}

QString CSceneImageTree::tooltipText(QPoint point) const {
    const CTreeHit hit = hitTest(point);
    if (hit.part != CTreeHit::kCell) {
        return {};
    }
    const CSceneNode &node = *hit.node;
    const double time = m_video ? m_video->frameToTime(node.frame()) : 0.0;
    return QString::asprintf("제 목 : %s\n주 석 : %s\n번 호 : %.0f\n시 간 : %s",
                             node.info().title.c_str(), node.info().comment.c_str(), node.frame(),
                             kivo::scene::formatMediaTime(time).c_str());
}

void CSceneImageTree::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    paintScene(painter, rect());
}

void CSceneImageTree::paintScene(QPainter &painter, const QRect &client) {
    painter.fillRect(client, Qt::black);
    if (!m_root) {
        return;
    }
    const CSceneTreeGeometry &g = m_geometry;
    const QPoint origin = rootPosition();
    const QSize cellSize(g.cellWidth, g.cellHeight);
    struct Joint {
        const CSceneNode *node;
        QPoint cell;
    };
    std::vector<Joint> joints;
    painter.setPen(QPen(Qt::white, 0));
    walkShownNodes(*m_root, [&](CSceneNode &node, int level, int row) {
        const QPoint cell(origin.x() + level * g.indent, origin.y() + row * g.rowPitch);
        if (QRect(cell, cellSize).intersects(client)) {
            m_cells.draw(painter, QRect(cell, cellSize), g.thumbnail, node.selected() != 0,
                         node.frame());
            if (node.parent() && node.childCount() > 0) {
                joints.push_back({&node, cell});
            }
        }
        if (const CSceneNode *parent = node.parent()) {
            // The line runs left from the cell's middle and up to the bottom of the parent's
            // cell, whether or not the cell itself is in view.
            const int middle = cell.y() + g.lineY;
            const int x = cell.x() - g.lineX;
            const int parentBottom = parent->layoutPoint().y + g.cellHeight;
            const QRect extent =
                QRect(QPoint(x, parentBottom), QPoint(cell.x() - 2, middle)).normalized();
            if (extent.intersects(client)) {
                painter.drawLine(cell.x() - 2, middle, x, middle);
                painter.drawLine(x, middle, x, parentBottom);
            }
        }
        node.setLayoutPoint({cell.x(), cell.y()});
        return true;
    });
    for (const Joint &joint : joints) {
        const QPixmap &button = joint.node->expanded() ? m_expandedButton : m_collapsedButton;
        painter.drawPixmap(buttonRect(g, joint.cell, button.size()).topLeft(), button);
    }
    m_bars->fillCorner(painter);
}

void CSceneImageTree::resizeEvent(QResizeEvent *) {
    m_bars->place();
    relayout();
}

void CSceneImageTree::leftButtonDown(QPoint point, Qt::KeyboardModifiers modifiers) {
    m_pressed = false;
    const CTreeHit hit = hitTest(point);
    if (hit.part == CTreeHit::kCell) {
        const bool shift = modifiers & Qt::ShiftModifier;
        const bool control = modifiers & Qt::ControlModifier;
        bool extended = false;
        if (shift) {
            extended = m_selection.extendWithShift(hit.node);
        } else if (control) {
            extended = m_selection.extendWithCtrl(hit.node);
        }
        // A plain click on a scene that is already selected keeps the whole selection, so that
        // it can be dragged.
        if (!extended && (shift || control || !hit.node->selected())) {
            m_selection.clear();
            m_selection.select(hit.node);
        }
        m_pressPoint = point;
        m_pressed = true;
        update();
    } else if (hit.part == CTreeHit::kButton) {
        toggleExpanded(hit.node);
    }
}

void CSceneImageTree::toggleExpanded(CSceneNode *node) {
    const bool wasExpanded = node->expanded() != 0;
    node->setExpanded(wasExpanded ? 0 : 1);
    if (wasExpanded && !m_selection.isEmpty()) {
        m_selection.clear();
        m_selection.select(node);
    } else if (!wasExpanded && node->anyChildSelected()) {
        m_selection.select(node);
    }
    relayout();
}

void CSceneImageTree::mousePressEvent(QMouseEvent *event) {
    if (!m_root) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_selection.dropMissing();
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        leftButtonDown(point, event->modifiers());
    } else if (event->button() == Qt::RightButton) {
        if (hitTest(point).part == CTreeHit::kCell) {
            emit contextRequested(this, point);
        }
    }
    QWidget::mousePressEvent(event);
}

void CSceneImageTree::mouseDoubleClickEvent(QMouseEvent *event) {
    if (m_root && event->button() == Qt::LeftButton) {
        const CTreeHit hit = hitTest(event->position().toPoint());
        if (hit.part == CTreeHit::kCell) {
            toggleExpanded(hit.node);
        }
    }
    event->accept();
}

void CSceneImageTree::mouseMoveEvent(QMouseEvent *event) {
    const QPoint point = event->position().toPoint();
    if (!(event->buttons() & Qt::LeftButton)) {
        if (hitTest(point).part == CTreeHit::kNothing) {
            QToolTip::hideText();
        }
        return;
    }
    if (!m_root || !m_pressed) {
        return;
    }
    if (m_dragging) {
        moveDrag(point);
        return;
    }
    const QPoint travel = point - m_pressPoint;
    if ((std::abs(travel.x()) > kDragThreshold || std::abs(travel.y()) > kDragThreshold) &&
        !m_root->selected()) {
        startDrag(m_pressPoint);
        if (m_dragging) {
            moveDrag(point);
        }
    }
}

void CSceneImageTree::mouseReleaseEvent(QMouseEvent *event) {
    if (!m_root || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (m_dragging) {
        drop();
    } else if (!(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) && m_pressed) {
        // A click inside a multi-selection leaves only the clicked scene selected.
        m_selection.clear();
        leftButtonDown(event->position().toPoint(), Qt::NoModifier);
    }
    QWidget::mouseReleaseEvent(event);
}

void CSceneImageTree::wheelEvent(QWheelEvent *event) {
    QScrollBar *bar = m_bars->vertical();
    if (m_root && !bar->isHidden()) {
        QCoreApplication::sendEvent(bar, event);
        return;
    }
    QWidget::wheelEvent(event);
}

bool CSceneImageTree::event(QEvent *event) {
    switch (event->type()) {
        case QEvent::ToolTip: {
            const auto *help = static_cast<QHelpEvent *>(event);
            const CTreeHit hit = hitTest(help->pos());
            if (hit.part == CTreeHit::kCell) {
                const QRect cell(QPoint(hit.node->layoutPoint().x, hit.node->layoutPoint().y),
                                 QSize(m_geometry.cellWidth, m_geometry.cellHeight));
                QToolTip::showText(help->globalPos(), tooltipText(help->pos()), this, cell);
            } else if (hit.part == CTreeHit::kNothing) {
                QToolTip::hideText();
            }
            return true;
        }
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::Leave:
            QToolTip::hideText();
            break;
        default:
            break;
    }
    return QWidget::event(event);
}

void CSceneImageTree::startDrag(QPoint point) {
    if (m_selection.isEmpty()) {
        return;
    }
    // The cells' places as they are now, whether or not a paint has happened since the last
    // change.
    const QPoint origin = rootPosition();
    walkShownNodes(*m_root, [&](CSceneNode &node, int level, int row) {
        node.setLayoutPoint(
            {origin.x() + level * m_geometry.indent, origin.y() + row * m_geometry.rowPitch});
        return true;
    });
    QRect cells;
    for (const CSceneNode *node : m_selection.nodes()) {
        cells |= QRect(QPoint(node->layoutPoint().x, node->layoutPoint().y),
                       QSize(m_geometry.cellWidth, m_geometry.cellHeight));
    }
    cells &= rect();
    m_dragging = true;
    m_dropTarget = nullptr;
    m_dragHotSpot = point - cells.topLeft();
    if (cells.isEmpty()) {
        return;
    }
    auto *image =
        new QLabel(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput |
                                Qt::WindowDoesNotAcceptFocus);
    image->setAttribute(Qt::WA_ShowWithoutActivating);
    image->setAttribute(Qt::WA_TransparentForMouseEvents);
    image->setPixmap(grab(cells));
    image->resize(cells.size());
    image->setWindowOpacity(0.75);
    m_dragImage = image;
}

void CSceneImageTree::moveDrag(QPoint point) {
    if (m_dragImage) {
        m_dragImage->move(mapToGlobal(point) - m_dragHotSpot);
        m_dragImage->show();
    }
    const CTreeHit hit = hitTest(point);
    if (hit.part == CTreeHit::kCell) {
        m_dropTarget = hit.node;
        setCursor(Qt::ArrowCursor);
    } else {
        m_dropTarget = nullptr;
        setCursor(Qt::ForbiddenCursor);
    }
}

void CSceneImageTree::endDrag() {
    m_dragging = false;
    if (m_dragImage) {
        delete m_dragImage.data();
    }
    unsetCursor();
}

void CSceneImageTree::drop() {
    CSceneNode *target = m_dropTarget;
    endDrag();
    m_dropTarget = nullptr;
    if (target) {
        kivo::scenes::moveSelectionUnder(m_selection, target);
        relayout();
        postTreeChanged();
    }
}

void CSceneImageTree::postTreeChanged() {
    QMetaObject::invokeMethod(
        this, [this] { emit treeChanged(this); }, Qt::QueuedConnection);
}

bool CSceneImageTree::continueLongOperation() {
    QCoreApplication::processEvents();
    while (m_pause && !m_cancel) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return !m_cancel;
}

bool CSceneImageTree::canMerge() const {
    return m_root && kivo::scenes::canMerge(m_selection);
}

int CSceneImageTree::mergeSelected() {
    if (!m_root) {
        return 0;
    }
    m_selection.dropMissing();
    if (!kivo::scenes::mergeSelected(m_selection)) {
        return 0;
    }
    relayout();
    postTreeChanged();
    return 1;
}

bool CSceneImageTree::canSplit() const {
    return m_root && kivo::scenes::canSplit(m_selection);
}

int CSceneImageTree::splitSelected() {
    if (m_root) {
        m_selection.dropMissing();
    }
    if (!canSplit()) {
        return 0;
    }
    const int result = kivo::scenes::splitSelected(m_selection);
    relayout();
    postTreeChanged();
    return result;
}

bool CSceneImageTree::canDelete() const {
    return kivo::scenes::canDelete(m_selection, m_root != nullptr);
}

int CSceneImageTree::deleteSelected() {
    if (!m_root) {
        return 0;
    }
    m_selection.dropMissing();
    if (!canDelete() || !kivo::scenes::deleteSelected(m_selection)) {
        return 0;
    }
    relayout();
    return 1;
}

int CSceneImageTree::addScene(double frame) {
    if (!m_root || !m_description || !m_video || !(frame > 0)) {
        return 0;
    }
    CSceneNode *place = kivo::scenes::placeForScene(*m_root, frame);
    return place ? insertAfter(place, frame) : 0;
}

int CSceneImageTree::insertAfter(CSceneNode *node, double frame) {
    if (!m_root || !node || !kivo::scenes::insertAfter(*m_root, node, frame, m_selection)) {
        return 0;
    }
    relayout(true);
    postTreeChanged();
    return 1;
}

int CSceneImageTree::saveImage(CSceneNode *node) {
    if (!m_root || !m_video) {
        return 0;
    }
    m_selection.dropMissing();
    const CSceneNode *scene = node ? node : m_selection.last();
    return scene ? kivo::scenes::saveFrameImage(this, m_video, scene->frame()) : 0;
}

int CSceneImageTree::moveSelectionUnder(CSceneNode *target) {
    if (!m_root || !target) {
        return 0;
    }
    m_selection.dropMissing();
    const int moved = kivo::scenes::moveSelectionUnder(m_selection, target);
    relayout();
    postTreeChanged();
    return moved;
}
