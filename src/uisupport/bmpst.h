#pragma once

#include <QPixmap>
#include <QWidget>

// A piece of a window's skin frame (a top bar, a side, a bottom bar) drawn from up to four
// bitmaps: a start cap, a fill stretched over the length, an end cap and an emblem centred on
// the piece. A piece wider than high runs left to right, otherwise top to bottom.
class COVBmpST : public QWidget {
    Q_OBJECT

public:
    explicit COVBmpST(QWidget *parent = nullptr);

    // Skin bitmap numbers, -1 for none. 0 (nothing changed) when a given number is unknown.
    int loadBitmaps(int start, int fill = -1, int end = -1, int emblem = -1);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_start;
    QPixmap m_fill;
    QPixmap m_end;
    QPixmap m_emblem;
};
