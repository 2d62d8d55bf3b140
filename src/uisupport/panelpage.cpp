#include "uisupport/panelpage.h"

#include <QLabel>

#include "uisupport/flatcontrols.h"

namespace {

constexpr QRgb kHeadingColour = 0xFFD8DDE4;

}  // namespace

CPanelPage::CPanelPage(int dialogId, const QString &heading, QWidget *parent)
    : QWidget(parent), m_heading(new QLabel(heading, this)), m_separator(new COVSeparator(this)) {
    setObjectName(QStringLiteral("dialog%1").arg(dialogId));
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::black);
    colours.setColor(QPalette::WindowText, QColor::fromRgb(kHeadingColour));
    colours.setColor(QPalette::ButtonText, QColor::fromRgb(kHeadingColour));
    setPalette(colours);
    m_heading->move(4, 4);
    m_heading->adjustSize();
}

QString CPanelPage::heading() const {
    return m_heading->text();
}

void CPanelPage::resizeEvent(QResizeEvent *) {
    // One pixel wider than the page, as the pages have always drawn it.
    m_separator->setGeometry(0, kSeparatorTop, width() + 1, 2);
}
