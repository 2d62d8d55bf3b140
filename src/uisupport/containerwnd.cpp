#include "uisupport/containerwnd.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

#include "uisupport/dlgmanager.h"
#include "uisupport/frameart.h"
#include "uisupport/hoverbutton.h"
#include "uisupport/skin.h"

namespace {

constexpr int kButtonGap = 1;
constexpr int kRightMargin = 2;

}  // namespace

CContainerWnd::CContainerWnd(int dialogId, bool paging, QWidget *owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("dialog%1").arg(dialogId));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setMinimumWidth(kMinimumWidth);
    if (paging) {
        addTitleButton(kPreviousPageId,
                       {kivo::skin::kPreviousPageNormal, kivo::skin::kPreviousPageHover,
                        kivo::skin::kPreviousPagePressed, kivo::skin::kPreviousPageDisabled},
                       QString());
        addTitleButton(kNextPageId,
                       {kivo::skin::kNextPageButton, kivo::skin::kNextPageButton + 1,
                        kivo::skin::kNextPageButton + 2, kivo::skin::kNextPageButton + 3},
                       QStringLiteral("다음 정보상자"));
        connect(titleButton(kPreviousPageId), &QAbstractButton::clicked, this,
                [this] { showPage(m_current - 1); });
        connect(titleButton(kNextPageId), &QAbstractButton::clicked, this,
                [this] { showPage(m_current + 1); });
    }
    addTitleButton(kCloseId,
                   {kivo::skin::kCloseButton, kivo::skin::kCloseButtonHover,
                    kivo::skin::kCloseButton, kivo::skin::kCloseButton},
                   QString());
    connect(titleButton(kCloseId), &QAbstractButton::clicked, this, [this] {
        emit closedByUser();
        hide();
    });
}

COVHoverButton *CContainerWnd::addTitleButton(int id, const int (&looks)[4],
                                              const QString &tooltip) {
    auto *button = new COVHoverButton(this);
    button->setObjectName(QStringLiteral("button%1").arg(id));
    button->loadBitmaps(looks[0], looks[1], looks[2], looks[3]);
    if (!tooltip.isEmpty()) {
        button->setTooltip(tooltip);
    }
    m_titleButtons.append(button);
    return button;
}

COVHoverButton *CContainerWnd::titleButton(int id) const {
    return findChild<COVHoverButton *>(QStringLiteral("button%1").arg(id),
                                       Qt::FindDirectChildrenOnly);
}

void CContainerWnd::setCloseButtonShown(bool shown) {
    titleButton(kCloseId)->setVisible(shown);
    layOutTitleButtons();
}

int CContainerWnd::addPage(QWidget *page) {
    page->setParent(this);
    m_pages.append(page);
    showPage(m_current);
    return pageCount() - 1;
}

QWidget *CContainerWnd::page(int index) const {
    return index >= 0 && index < pageCount() ? m_pages[index] : nullptr;
}

void CContainerWnd::showPage(int index) {
    if (m_pages.isEmpty()) {
        return;
    }
    if (index >= pageCount()) {
        index = 0;
    } else if (index < 0) {
        index = pageCount() - 1;
    }
    m_current = index;
    for (int i = 0; i < pageCount(); ++i) {
        if (i != index) {
            m_pages[i]->hide();
        }
    }
    m_pages[index]->setGeometry(kivo::skin::frame::pageRect(size()));
    m_pages[index]->show();
    emit pageShown(index);
}

void CContainerWnd::layOutTitleButtons() {
    // Right-aligned on the title piece, in their order, hidden ones taking no place.
    int right = width() - kRightMargin;
    for (auto it = m_titleButtons.crbegin(); it != m_titleButtons.crend(); ++it) {
        COVHoverButton *button = *it;
        if (!button->isVisibleTo(this)) {
            continue;
        }
        right -= button->width();
        button->move(right, kivo::skin::frame::kButtonTop);
        right -= kButtonGap;
    }
}

void CContainerWnd::resizeEvent(QResizeEvent *) {
    m_frame = kivo::skin::frame::frame(size());
    if (QWidget *shown = page(m_current)) {
        shown->setGeometry(kivo::skin::frame::pageRect(size()));
    }
    layOutTitleButtons();
}

void CContainerWnd::paintEvent(QPaintEvent *) {
    if (m_frame.size() != size()) {
        m_frame = kivo::skin::frame::frame(size());
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_frame);
}

Qt::Edges CContainerWnd::sizingEdgesAt(QPoint point) const {
    return COVDlgManager::edgesOf(COVDlgManager::hitTest(this, point, kSizingBorder)) &
           m_sizableEdges;
}

void CContainerWnd::mouseMoveEvent(QMouseEvent *event) {
    const Qt::Edges edges = sizingEdgesAt(event->position().toPoint());
    const bool across = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool upDown = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (across && upDown) {
        const bool falling =
            edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge);
        setCursor(falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor);
    } else if (across) {
        setCursor(Qt::SizeHorCursor);
    } else if (upDown) {
        setCursor(Qt::SizeVerCursor);
    } else {
        unsetCursor();
    }
}

void CContainerWnd::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton || !windowHandle()) {
        return;
    }
    const QPoint point = event->position().toPoint();
    if (const Qt::Edges edges = sizingEdgesAt(point)) {
        if (windowHandle()->startSystemResize(edges)) {
            emit userMoveStarted(edges);
        }
        return;
    }
    if (point.y() < kivo::skin::frame::kTopHeight && windowHandle()->startSystemMove()) {
        emit userMoveStarted({});
    }
}
