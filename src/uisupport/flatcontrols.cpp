#include "uisupport/flatcontrols.h"

#include <QPainter>

namespace {

const char *const kFlatFrame =
    "%1 { border: 1px solid #5a616b; border-radius: 0px; padding: 1px 3px; }"
    "%1:focus { border-color: #f2a33a; }"
    "%1:disabled { border-color: #8a9098; }";

QString flatFrame(const char *type) {
    return QString::fromLatin1(kFlatFrame).arg(QLatin1String(type));
}

}  // namespace

COVFlatEdit::COVFlatEdit(QWidget *parent) : QLineEdit(parent) {
    setStyleSheet(flatFrame("QLineEdit"));
}

COVFlatComboBox::COVFlatComboBox(QWidget *parent) : QComboBox(parent) {
    setStyleSheet(flatFrame("QComboBox"));
}

COVSeparator::COVSeparator(QWidget *parent) : QWidget(parent) {}

void COVSeparator::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor light = palette().color(QPalette::Light);
    if (width() >= height()) {
        const int y = qMax(0, height() / 2 - 1);
        painter.setPen(shadow);
        painter.drawLine(0, y, width() - 1, y);
        painter.setPen(light);
        painter.drawLine(0, y + 1, width() - 1, y + 1);
    } else {
        const int x = qMax(0, width() / 2 - 1);
        painter.setPen(shadow);
        painter.drawLine(x, 0, x, height() - 1);
        painter.setPen(light);
        painter.drawLine(x + 1, 0, x + 1, height() - 1);
    }
}

COVHyperLink::COVHyperLink(QWidget *parent) : QLabel(parent) {
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::TextBrowserInteraction);
    setOpenExternalLinks(true);
    setCursor(Qt::PointingHandCursor);
}

void COVHyperLink::setUrl(const QString &url, const QString &text) {
    m_url = url;
    setText(QStringLiteral("<a href=\"%1\">%2</a>")
                .arg(url.toHtmlEscaped(), (text.isEmpty() ? url : text).toHtmlEscaped()));
}

COVTreeCtrl::COVTreeCtrl(QWidget *parent) : QTreeWidget(parent) {
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setHeaderHidden(true);
    setColumnCount(1);
}
