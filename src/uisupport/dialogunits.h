#pragma once

#include <QFont>
#include <QRect>

// Dialog templates give positions in dialog units: a horizontal unit is a quarter of the
// dialog font's average character width, a vertical unit an eighth of its height. Converting
// with the font actually used keeps the layout's proportions on every screen.
class CDialogUnits {
public:
    explicit CDialogUnits(const QFont &font);
    CDialogUnits(int baseWidth, int baseHeight)
        : m_baseWidth(baseWidth), m_baseHeight(baseHeight) {}

    int baseWidth() const { return m_baseWidth; }
    int baseHeight() const { return m_baseHeight; }

    int x(int units) const;
    int y(int units) const;
    QRect rect(int left, int top, int width, int height) const;

private:
    int m_baseWidth;
    int m_baseHeight;
};
