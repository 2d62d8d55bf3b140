#pragma once

#include <QRect>

class QPainter;
class QScrollBar;
class QWidget;

// The two scroll bars of a scene control: 16 pixels thick, hidden unless needed, along the
// right and bottom edges, leaving the corner between them free when both show. Ranges run from
// 0; positions set here do not come back as user scrolling.
class CScrollBarPair {
public:
    struct Bar {
        bool shown = false;
        int maximum = 0;
        int position = 0;
        int pageStep = 10;
    };

    CScrollBarPair(QWidget *owner, const char *verticalName, const char *horizontalName);

    QScrollBar *vertical() const { return m_vertical; }
    QScrollBar *horizontal() const { return m_horizontal; }

    void apply(const Bar &horizontal, const Bar &vertical);
    void hideBoth();
    // Puts the shown bars along the owner's edges again (after a resize).
    void place();
    // The free corner between two shown bars, or an empty rectangle.
    QRect corner() const;
    // Paints that corner black, as the controls' backgrounds are.
    void fillCorner(QPainter &painter) const;

private:
    static void set(QScrollBar *bar, const Bar &state);

    QWidget *m_owner;
    QScrollBar *m_vertical;
    QScrollBar *m_horizontal;
};
