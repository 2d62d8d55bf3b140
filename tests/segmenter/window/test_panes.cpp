#include <QImage>
#include <QtTest>

#include "segmenter/window/graphpane.h"
#include "segmenter/window/imagepane.h"

class TestPanes : public QObject {
    Q_OBJECT

private slots:
    void imagePaneCentresSmallPicturesAndStretchesLargeOnes() {
        QCOMPARE(CImagePane::placement(QSize(100, 50), QSize(200, 240)), QRect(50, 95, 100, 50));
        QCOMPARE(CImagePane::placement(QSize(320, 240), QSize(200, 240)), QRect(0, 0, 200, 240));
        QCOMPARE(CImagePane::placement(QSize(320, 60), QSize(200, 240)), QRect(0, 90, 200, 60));
    }

    void imagePaneDrawsThePictureOnBlack() {
        CImagePane pane;
        pane.resize(40, 20);
        auto picture = std::make_unique<CDib>();
        QVERIFY(picture->createBlank(10, 10, 24));
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) {
                uint8_t *pixel = picture->pixelAddress(x, y);
                pixel[0] = 0;
                pixel[1] = 0;
                pixel[2] = 255;  // red
            }
        }
        pane.setPicture(std::move(picture));
        const QImage shot = pane.grab().toImage();
        QCOMPARE(shot.pixelColor(20, 10), QColor(255, 0, 0));
        QCOMPARE(shot.pixelColor(2, 10), QColor(0, 0, 0));
        pane.clear();
        QCOMPARE(pane.grab().toImage().pixelColor(20, 10), QColor(0, 0, 0));
    }

    void graphPaneDrawsAxisAndSkipsZeroOffsets() {
        CGraphPane graph;
        graph.resize(20, 22);  // axis at 11, a value of 1 rises 9 pixels
        graph.append(1.0);
        graph.append(0.01);  // offset 0: no segment, the next starts from (0, 2)
        graph.append(1.0);
        graph.append(-1.0);
        const QImage shot = graph.grab().toImage();
        const QColor pale(255, 250, 157);
        QCOMPARE(shot.pixelColor(15, 11), QColor(0, 255, 0));
        QCOMPARE(shot.pixelColor(0, 2), pale);
        QCOMPARE(shot.pixelColor(1, 2), pale);
        QCOMPARE(shot.pixelColor(2, 2), pale);
        QCOMPARE(shot.pixelColor(3, 20), pale);
        QCOMPARE(shot.pixelColor(1, 8), QColor(0, 0, 0));
    }

    void graphPaneKeepsOneValuePerPixel() {
        CGraphPane graph;
        graph.resize(30, 10);
        for (int i = 0; i < 100; ++i) {
            graph.append(i);
        }
        graph.grab();
        QCOMPARE(graph.values().size(), size_t{31});
        QCOMPARE(graph.values().front(), 69.0);
    }
};

QTEST_MAIN(TestPanes)
#include "test_panes.moc"
