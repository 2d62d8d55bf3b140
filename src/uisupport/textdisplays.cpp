#include "uisupport/textdisplays.h"

#include <QFontMetrics>
#include <QPainter>

#include "scene/mediatime.h"
#include "uisupport/skin.h"

COVMsgST::COVMsgST(QWidget *parent) : QWidget(parent) {}

void COVMsgST::setMessage(const QString &text) {
    if (text != m_text) {
        m_text = text;
        update();
    }
}

int COVMsgST::setBkBitmap(int bitmapId) {
    const QPixmap background = kivo::skin::keyedPixmap(bitmapId);
    if (background.isNull()) {
        return 0;
    }
    m_background = background;
    update();
    return 1;
}

void COVMsgST::setTextColor(const QColor &colour) {
    m_textColour = colour;
    update();
}

void COVMsgST::setTextFlags(unsigned flags) {
    m_flags = flags;
    update();
}

QString COVMsgST::shownText() const {
    QString text = m_text;
    if (!(m_flags & kNoPrefix)) {
        // A single '&' marks a mnemonic and is not drawn; "&&" is a literal ampersand.
        text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
        text.remove(QLatin1Char('&'));
        text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    }
    const QFontMetrics metrics(font());
    if (m_flags & kPathEllipsis) {
        return metrics.elidedText(text, Qt::ElideMiddle, width());
    }
    if (m_flags & kEndEllipsis) {
        return metrics.elidedText(text, Qt::ElideRight, width());
    }
    return text;
}

void COVMsgST::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    if (!m_background.isNull()) {
        painter.drawPixmap(rect(), m_background);
    }
    int alignment = (m_flags & kVCenter) ? Qt::AlignVCenter : Qt::AlignTop;
    alignment |= (m_flags & kCenter)  ? Qt::AlignHCenter
                 : (m_flags & kRight) ? Qt::AlignRight
                                      : Qt::AlignLeft;
    painter.setPen(m_textColour);
    painter.drawText(rect(), alignment | Qt::TextSingleLine, shownText());
}

COVTimerST::COVTimerST(QWidget *parent) : QWidget(parent) {}

int COVTimerST::loadBitmap(int bitmapId) {
    const QImage glyphs = kivo::skin::bitmap(bitmapId);
    if (glyphs.isNull() || glyphs.width() < 11) {
        return 0;
    }
    m_glyphs = glyphs;
    updateGeometry();
    update();
    return 1;
}

void COVTimerST::setTime(int seconds) {
    const int shown = seconds < 0 ? 0 : seconds;
    if (shown != m_seconds) {
        m_seconds = shown;
        update();
    }
}

QString COVTimerST::text() const {
    // The strip has room for two hour digits, so the hours wrap at 100.
    constexpr int kShownSeconds = 100 * 3600;
    return QString::fromStdString(kivo::scene::formatClockSeconds(m_seconds % kShownSeconds));
}

QSize COVTimerST::sizeHint() const {
    if (m_glyphs.isNull()) {
        return {72, 12};
    }
    return {m_glyphs.width() / 11 * 8, m_glyphs.height()};
}

void COVTimerST::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QString shown = text();
    if (m_glyphs.isNull()) {
        painter.setPen(Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, shown);
        return;
    }
    const int glyphWidth = m_glyphs.width() / 11;
    const int left = (width() - glyphWidth * shown.size()) / 2;
    const int top = (height() - m_glyphs.height()) / 2;
    for (qsizetype i = 0; i < shown.size(); ++i) {
        const QChar c = shown.at(i);
        const int glyph = c == QLatin1Char(':') ? 10 : c.digitValue();
        painter.drawImage(QPoint(left + static_cast<int>(i) * glyphWidth, top), m_glyphs,
                          QRect(glyph * glyphWidth, 0, glyphWidth, m_glyphs.height()));
    }
}
