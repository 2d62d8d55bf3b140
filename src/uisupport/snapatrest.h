#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class COVMagnet;
class QWidget;

// Snaps a window the user moves or sizes through the window system once it has come to rest:
// frameless windows are moved by the window system itself, so the docking helper cannot adjust
// each step as it goes and snaps after the last one instead.
class COVSnapAtRest : public QObject {
    Q_OBJECT

public:
    static constexpr int kRestMs = 350;

    explicit COVSnapAtRest(const COVMagnet &magnet, QObject *parent = nullptr);

    // The user began to move the window (no edges) or to size it at the given edges.
    void follow(QWidget *window, Qt::Edges sizedEdges = {});

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void snap();

    const COVMagnet &m_magnet;
    QPointer<QWidget> m_window;
    Qt::Edges m_edges;
    QTimer m_rest;
};
