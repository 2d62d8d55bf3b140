#include "uisupport/flatbutton.h"

#include <QEvent>

#include "uisupport/resourcestrings.h"
#include "uisupport/skin.h"

COVFlatButton::COVFlatButton(QWidget *parent) : QToolButton(parent) {
    setAutoRaise(true);
    setIconSize(QSize(16, 16));
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setFocusPolicy(Qt::TabFocus);
}

int COVFlatButton::setIcon(int iconId) {
    return setIconEx(iconId, iconId);
}

int COVFlatButton::setIconEx(int iconIn, int iconOut) {
    const QIcon in = kivo::skin::icon(iconIn);
    const QIcon out = kivo::skin::icon(iconOut);
    if (in.isNull() || out.isNull()) {
        return 0;
    }
    m_iconIn = in;
    m_iconOut = out;
    setToolButtonStyle(text().isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    QToolButton::setIcon(underMouse() ? m_iconIn : m_iconOut);
    return 1;
}

int COVFlatButton::setTooltipText(int stringId) {
    const QString text = kivo::ui::resourceString(stringId);
    if (text.isEmpty()) {
        return 0;
    }
    setToolTip(text);
    return 1;
}

void COVFlatButton::setTooltipText(const QString &text) {
    setToolTip(text);
}

bool COVFlatButton::event(QEvent *event) {
    if (!m_iconIn.isNull() && (event->type() == QEvent::Enter || event->type() == QEvent::Leave)) {
        QToolButton::setIcon(event->type() == QEvent::Enter ? m_iconIn : m_iconOut);
    }
    return QToolButton::event(event);
}
