#pragma once

#include <QPixmap>
#include <QWidget>

// The skin's horizontal slider: a channel, the filled part of the channel left of the thumb,
// and the thumb. Positions are doubles within the range. A click on the channel puts the
// thumb there; a drag moves it. Positions set by the program while the user drags are ignored,
// so that a running position display does not fight the hand.
class COVTSlider : public QWidget {
    Q_OBJECT

public:
    explicit COVTSlider(QWidget *parent = nullptr);

    // Skin bitmap numbers of the channel, the thumb and the filled channel (-1: none). 0 when a
    // given number is unknown or there is no channel.
    int loadBitmaps(int channel, int thumb, int fill = -1);
    void setRange(double minimum, double maximum);
    double minimum() const { return m_minimum; }
    double maximum() const { return m_maximum; }
    void setPos(double position);
    double getPos() const { return m_position; }
    void setTooltip(const QString &text);
    // With tracking on, every step of a drag is reported; otherwise only the release.
    void setTracking(bool on) { m_tracking = on; }
    bool isDragging() const { return m_dragging; }

    QSize sizeHint() const override;

signals:
    // Message 0x08B1 (sent): the user moved the slider.
    void moved(COVTSlider *slider);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    int thumbWidth() const;
    int thumbLeft() const;
    double positionAt(int x) const;
    void moveByHand(int x);

    QPixmap m_channel;
    QPixmap m_thumb;
    QPixmap m_fill;
    double m_minimum = 0.0;
    double m_maximum = 100.0;
    double m_position = 0.0;
    bool m_dragging = false;
    bool m_tracking = false;
};
