#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A bitmap button of the skin with four looks: normal, under the mouse, pressed (also the look
// of a checked toggle button) and disabled. It takes the size of its normal bitmap.
class COVHoverButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit COVHoverButton(QWidget *parent = nullptr);

    // Skin bitmap numbers; -1 for hover, pressed or disabled reuses the normal bitmap. 0, and the
    // button unchanged, when a number that is given is not in the skin.
    int loadBitmaps(int normal, int hover = -1, int pressed = -1, int disabled = -1);
    void setTooltip(const QString &text);
    // A skin cursor number; 0 (cursor unchanged) when the skin has no such cursor.
    int setBtnCursor(int cursorId);
    // Buttons that offer a rate menu (fast backward and forward) report a right-button press.
    void setRateMenuButton(bool offers) { m_rateMenu = offers; }

    QSize sizeHint() const override;

signals:
    // Message 0x0AA5 (sent): the right button went down on a rate-menu button; the owner shows
    // the rate menu beside it.
    void rateMenuRequested(COVHoverButton *button);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    enum Look { kNormal, kHover, kPressed, kDisabled, kLooks };

    QPixmap m_looks[kLooks];
    bool m_rateMenu = false;
};
