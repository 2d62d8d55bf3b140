#include <QApplication>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "fixtures.h"
#include "media/grabber/videomanager.h"
#include "scenecontrols/sceneimagelist.h"
#include "scenecontrols/sceneimagetree.h"
#include "scenetreebuilder.h"
#include "uisupport/asker.h"
#include "uisupport/skin.h"

namespace {

constexpr QRgb kBlack = 0xFF000000u;

QImage shot(QWidget *widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class TestSceneImageList : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void aHundredFrameStripWithTenVisibleCellsEndsAt92();
    void cellsPastTheEndHaveNoPictureAndCannotBeChosen();
    void clickingChoosesAFrameAndHighlightsItWhileStill();
    void automaticScrollingStopsAtTheEnds();
    void addSceneGoesToTheLinkedTree();
    void saveImageOfTheChosenFrame();
    void sideBySideStrip();
    void sizeRateAndDetaching();

private:
    // The cell rectangle's centre, for a strip 100 pixels wide at rate 1 (cells 46 x 23 centred:
    // x 27..72).
    static QPoint inCell(int index) { return {50, index * 23 + 11}; }

    std::unique_ptr<CVideoDescription> m_description;
    CVideoManager m_video;
    std::unique_ptr<CSceneImageList> m_list;
};

void TestSceneImageList::init() {
    QCOMPARE(m_video.open(fixturePath("blackstart.mp4")), 1);
    QCOMPARE(m_video.duration(), 100.0);
    m_description = std::make_unique<CVideoDescription>();
    m_list = std::make_unique<CSceneImageList>();
    QCOMPARE(m_list->loadBitmaps(370, 369, kivo::skin::kTransparentColor), 1);
    m_list->setThumbnailRect(7, 3, 32, 17);
    m_list->setFramesPerCell(1);
    m_list->setOrientation(1);
    m_list->setSizeRate(1.0f);
    m_list->resize(100, 210);
    m_list->attach(m_description.get(), &m_video);
    m_list->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_list.get()));
}

void TestSceneImageList::cleanup() {
    m_list.reset();
    m_description.reset();
    m_video.close();
}

void TestSceneImageList::aHundredFrameStripWithTenVisibleCellsEndsAt92() {
    QCOMPARE(m_list->visibleCells(), 10);
    QCOMPARE(m_list->lastPosition(), 92);
    QVERIFY(!m_list->verticalBar()->isHidden());
    QVERIFY(m_list->horizontalBar()->isHidden());
    QCOMPARE(m_list->verticalBar()->maximum(), 92);
    QCOMPARE(m_list->verticalBar()->pageStep(), 10);
    QCOMPARE(m_list->verticalBar()->objectName(), QString("80000"));
    m_list->scrollTo(500);
    QCOMPARE(m_list->position(), 92);
    QCOMPARE(m_list->verticalBar()->value(), 92);
    m_list->scrollTo(-5);
    QCOMPARE(m_list->position(), 0);
    // The rule itself, for other strips.
    const CStripGeometry g = m_list->stripGeometry();
    QCOMPARE(stripLayout(QSize(100, 210), g, 100, 1).lastPosition, 92);
    QCOMPARE(stripLayout(QSize(100, 210), g, 100, 2).lastPosition, 42);
    QCOMPARE(stripLayout(QSize(100, 210), g, 5, 1).lastPosition, 0);
    // A user's scroll moves the strip.
    m_list->verticalBar()->setValue(30);
    QCOMPARE(m_list->position(), 30);
    QCOMPARE(m_list->frameAt(inCell(2)), 32.0);
}

void TestSceneImageList::cellsPastTheEndHaveNoPictureAndCannotBeChosen() {
    m_list->setFramesPerCell(10);
    m_list->resize(100, 300);
    QCOMPARE(m_list->lastPosition(), 0);
    QCOMPARE(m_list->frameAt(inCell(9)), 90.0);
    QCOMPARE(m_list->frameAt(inCell(10)), 100.0);
    QCOMPARE(m_list->frameAt(inCell(11)), -1.0);
    QCOMPARE(m_list->frameAt(inCell(12)), -1.0);
    QCOMPARE(m_list->frameAt(QPoint(5, 5)), -1.0);  // beside the cells

    const QImage image = shot(m_list.get());
    const QImage cell = kivo::skin::bitmap(370);
    const QRect late = m_list->cellRect(11);
    // Frame 110 is drawn as an empty cell, frame 90 with its picture.
    QCOMPARE(image.pixel(late.topLeft() + QPoint(20, 10)), cell.pixel(20, 10));
    QCOMPARE(image.pixel(late.topLeft() + QPoint(45, 10)), cell.pixel(45, 10));
    QVERIFY(m_list->thumbnailCache()->find(110) == nullptr);
    const CDib *picture = m_list->thumbnailCache()->find(90);
    QVERIFY(picture != nullptr);
    const QPoint place = m_list->cellRect(9).topLeft() + QPoint(7, 3);
    QCOMPARE(image.pixel(place + QPoint(16, 8)) & 0xFFFFFFu, picture->colorAt(16, 8));

    QSignalSpy chosen(m_list.get(), &CSceneImageList::frameChosen);
    QTest::mouseClick(m_list.get(), Qt::LeftButton, Qt::NoModifier, inCell(11));
    QCOMPARE(chosen.count(), 0);
    QCOMPARE(m_list->chosenFrame(), -1.0);
    QCOMPARE(m_list->tooltipText(inCell(11)), QString());
    QCOMPARE(m_list->tooltipText(inCell(9)), QString("90 Frame"));
}

void TestSceneImageList::clickingChoosesAFrameAndHighlightsItWhileStill() {
    QSignalSpy chosen(m_list.get(), &CSceneImageList::frameChosen);
    QSignalSpy context(m_list.get(), &CSceneImageList::contextRequested);
    m_list->scrollTo(40);
    QTest::mousePress(m_list.get(), Qt::LeftButton, Qt::NoModifier, inCell(3));
    QCOMPARE(chosen.count(), 1);
    QCOMPARE(chosen.at(0).at(0).value<CSceneImageList *>(), m_list.get());
    QCOMPARE(chosen.at(0).at(1).toInt(), 43);
    QCOMPARE(m_list->chosenFrame(), 43.0);
    QTest::mousePress(m_list.get(), Qt::RightButton, Qt::NoModifier, inCell(4));
    QCOMPARE(context.count(), 1);
    QCOMPARE(context.at(0).at(1).toPoint(), inCell(4));
    QCOMPARE(m_list->chosenFrame(), 43.0);

    const QRect cell = m_list->cellRect(3);
    const QImage chosenCell = kivo::skin::bitmap(369);
    const QImage normalCell = kivo::skin::bitmap(370);
    QVERIFY(chosenCell.pixel(0, 10) != normalCell.pixel(0, 10));
    QCOMPARE(shot(m_list.get()).pixel(cell.topLeft() + QPoint(0, 10)), chosenCell.pixel(0, 10));
    // While the strip runs by itself, the chosen frame is not highlighted.
    m_list->scrollForwards(1, 60000);
    QCOMPARE(shot(m_list.get()).pixel(cell.topLeft() + QPoint(0, 10)), normalCell.pixel(0, 10));
    m_list->stopScrolling();
    QCOMPARE(shot(m_list.get()).pixel(cell.topLeft() + QPoint(0, 10)), chosenCell.pixel(0, 10));
}

void TestSceneImageList::automaticScrollingStopsAtTheEnds() {
    m_list->scrollTo(85);
    m_list->scrollForwards(3, 1);
    QCOMPARE(m_list->scrolling(), CSceneImageList::Scrolling::Forwards);
    QTRY_COMPARE(m_list->scrolling(), CSceneImageList::Scrolling::Stopped);
    QCOMPARE(m_list->position(), 92);
    QCOMPARE(m_list->verticalBar()->value(), 92);

    m_list->scrollBackwards(10, 1);
    QTRY_COMPARE(m_list->scrolling(), CSceneImageList::Scrolling::Stopped);
    QCOMPARE(m_list->position(), 0);

    // A new direction replaces the running one; stop ends it where it is.
    m_list->scrollTo(50);
    m_list->scrollBackwards(2, 60000);
    m_list->scrollForwards(2, 60000);
    QCOMPARE(m_list->scrolling(), CSceneImageList::Scrolling::Forwards);
    QCOMPARE(m_list->scrollInterval(), 60000);
    m_list->stopScrolling();
    QCOMPARE(m_list->scrolling(), CSceneImageList::Scrolling::Stopped);
    QTest::qWait(5);
    QCOMPARE(m_list->position(), 50);
}

void TestSceneImageList::addSceneGoesToTheLinkedTree() {
    CSceneImageTree tree;
    tree.loadBitmaps(250, 249, 456, 455, kivo::skin::kTransparentColor);
    tree.attach(m_description.get(), &m_video);
    QCOMPARE(m_list->addScene(), 0);  // no tree linked
    m_list->linkTree(&tree);
    QCOMPARE(m_list->addScene(), 0);  // nothing chosen
    QTest::mousePress(m_list.get(), Qt::LeftButton, Qt::NoModifier, inCell(0));
    QCOMPARE(m_list->addScene(), 0);  // frame 0 is never a new scene
    QTest::mousePress(m_list.get(), Qt::LeftButton, Qt::NoModifier, inCell(5));
    QCOMPARE(m_list->addScene(), 1);
    QCOMPARE(childFrames(m_description->root()), (std::vector<double>{5}));
    QCOMPARE(m_list->addScene(), 0);  // frame 5 stands in the tree now
    QCOMPARE(m_list->addScene(7), 1);
    QCOMPARE(childFrames(m_description->root()), (std::vector<double>{5, 7}));
    m_list->detach();
    QCOMPARE(m_list->addScene(9), 0);
}

void TestSceneImageList::saveImageOfTheChosenFrame() {
    QTemporaryDir folder;
    kivo::ui::CScriptedAsker asker;
    kivo::ui::CScopedAsker scope(asker);
    QCOMPARE(m_list->saveImage(), 0);
    QCOMPARE(asker.fileRequests().size(), 0);
    QTest::mousePress(m_list.get(), Qt::LeftButton, Qt::NoModifier, inCell(6));
    asker.answerFile(folder.filePath("frame.jpg"));
    asker.answerFile(folder.filePath("frame.gif"));
    QCOMPARE(m_list->saveImage(), 1);
    QCOMPARE(QImage(folder.filePath("frame.jpg")).size(), QSize(320, 240));
    QCOMPARE(m_list->saveImage(50), 0);
    QCOMPARE(asker.texts(), QStringList{QString::fromUtf8("지원하지 않는 파일형식입니다.")});
    QCOMPARE(asker.fileRequests().at(0).filter,
             QString("Jpeg Files (*.JPG)|*.JPG;|BMP Files (*.BMP)|*.BMP;|"));
}

void TestSceneImageList::sideBySideStrip() {
    m_list->setOrientation(0);
    m_list->resize(300, 40);
    QCOMPARE(m_list->visibleCells(), 300 / 46 + 1);
    QCOMPARE(m_list->lastPosition(), 102 - 7);
    QVERIFY(!m_list->horizontalBar()->isHidden());
    QVERIFY(m_list->verticalBar()->isHidden());
    QCOMPARE(m_list->cellRect(2), QRect(92, 40 / 2 - 23 / 2, 46, 23));
    QCOMPARE(m_list->frameAt(QPoint(92 + 10, 20)), 2.0);
    m_list->horizontalBar()->setValue(10);
    QCOMPARE(m_list->frameAt(QPoint(92 + 10, 20)), 12.0);
    // Narrower than a cell across the strip: the across bar shows but moves nothing.
    m_list->resize(300, 20);
    QVERIFY(!m_list->verticalBar()->isHidden());
    QCOMPARE(m_list->verticalBar()->maximum(), 3);
    m_list->verticalBar()->setValue(3);
    QCOMPARE(m_list->position(), 10);
}

void TestSceneImageList::sizeRateAndDetaching() {
    const QPoint edge = m_list->cellRect(1).topLeft() + QPoint(0, 10);
    QVERIFY(shot(m_list.get()).pixel(edge) != kBlack);
    QVERIFY(m_list->thumbnailCache()->size() > 0);
    m_list->setSizeRate(1.5f);
    const CStripGeometry &g = m_list->stripGeometry();
    QCOMPARE(QSize(g.cellWidth, g.cellHeight), QSize(69, 34));
    QCOMPARE(g.thumbnail, QRect(10, 4, 48, 25));
    QCOMPARE(m_list->thumbnailCache()->size(), size_t{0});
    QCOMPARE(m_list->visibleCells(), 210 / 34 + 1);

    m_list->detach();
    QCOMPARE(shot(m_list.get()).pixel(edge), kBlack);
    QVERIFY(m_list->verticalBar()->isHidden());
    QSignalSpy chosen(m_list.get(), &CSceneImageList::frameChosen);
    QTest::mousePress(m_list.get(), Qt::LeftButton, Qt::NoModifier, inCell(1));
    QCOMPARE(chosen.count(), 0);
    QCOMPARE(m_list->saveImage(3), 0);
}

QTEST_MAIN(TestSceneImageList)
#include "test_sceneimagelist.moc"
