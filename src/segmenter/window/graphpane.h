#pragma once

#include <QWidget>
#include <deque>

// A running graph of the cut score: a green axis across the middle and the latest values as a
// pale yellow line, one pixel per value, the oldest dropped when the pane is full.
class CGraphPane : public QWidget {
    Q_OBJECT
public:
    explicit CGraphPane(QWidget *parent = nullptr);

    void append(double value);
    void clear();
    const std::deque<double> &values() const { return m_values; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::deque<double> m_values;
};
