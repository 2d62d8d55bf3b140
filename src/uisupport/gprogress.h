#pragma once

#include <QWidget>

// A per-cent bar drawn with a gradient in the skin's accent colour.
class COVGProgress : public QWidget {
    Q_OBJECT

public:
    explicit COVGProgress(QWidget *parent = nullptr);

    void setRange(int lower, int upper);
    // Clamped into the range; returns the previous position.
    int setPos(int position);
    int pos() const { return m_position; }
    int lower() const { return m_lower; }
    int upper() const { return m_upper; }

    QSize sizeHint() const override { return {120, 11}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_lower = 0;
    int m_upper = 100;
    int m_position = 0;
};
