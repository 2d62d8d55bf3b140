#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

// A line of text over a background bitmap. The text flags are the Windows DrawText flags the
// windows pass: DT_CENTER 0x1, DT_RIGHT 0x2, DT_VCENTER 0x4, DT_NOPREFIX 0x800, DT_PATH_ELLIPSIS
// 0x4000 (a long path keeps its end), DT_END_ELLIPSIS 0x8000.
class COVMsgST : public QWidget {
    Q_OBJECT

public:
    enum TextFlag : unsigned {
        kCenter = 0x1,
        kRight = 0x2,
        kVCenter = 0x4,
        kNoPrefix = 0x800,
        kPathEllipsis = 0x4000,
        kEndEllipsis = 0x8000,
    };

    explicit COVMsgST(QWidget *parent = nullptr);

    void setMessage(const QString &text);
    QString message() const { return m_text; }
    // A skin bitmap number, stretched over the control. 0 (unchanged) when unknown.
    int setBkBitmap(int bitmapId);
    void setTextColor(const QColor &colour);
    void setTextFlags(unsigned flags);
    // The text as it is drawn in the current width.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
    QPixmap m_background;
    QColor m_textColour = Qt::white;
    unsigned m_flags = kVCenter | kNoPrefix | kEndEllipsis;
};

// A time display "hh:mm:ss" drawn from a strip of digit glyphs: eleven glyphs of equal width,
// 0 to 9 and ':'. Without glyphs it draws plain text.
class COVTimerST : public QWidget {
    Q_OBJECT

public:
    explicit COVTimerST(QWidget *parent = nullptr);

    // A skin bitmap number holding the glyph strip; 0 (unchanged) when unknown.
    int loadBitmap(int bitmapId);
    // Whole seconds; negative shows 00:00:00, hours wrap at 100.
    void setTime(int seconds);
    int time() const { return m_seconds; }
    QString text() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_glyphs;
    int m_seconds = 0;
};
