#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "fixtures.h"
#include "media/grabber/videomanager.h"
#include "scenecontrols/sceneimagetree.h"
#include "scenetreebuilder.h"
#include "uisupport/asker.h"
#include "uisupport/skin.h"

namespace {

constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kWhite = 0xFFFFFFFFu;

// Where the cell of a shown node is, at rate 1 and no scrolling.
QPoint cellAt(int level, int row) {
    return {5 + 20 * level, 5 + 35 * row};
}
QPoint inCell(int level, int row) {
    return cellAt(level, row) + QPoint(20, 12);
}

void moveWithLeftButton(QWidget *widget, QPoint point) {
    QMouseEvent move(QEvent::MouseMove, point, widget->mapToGlobal(point), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

void click(QWidget *widget, QPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mousePress(widget, Qt::LeftButton, modifiers, point);
    QTest::mouseRelease(widget, Qt::LeftButton, modifiers, point);
}

QImage shot(QWidget *widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class TestSceneImageTree : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void geometryFollowsTheSizeRate();
    void barsAppearOnlyWhenTheTreeDoesNotFit();
    void paintsCellsLinesAndButtons();
    void collapsedChildrenAreNotDrawn();
    void thumbnailsComeFromTheVideoAndFailuresAreRetried();
    void withoutATreeNothingHappens();
    void shiftAndCtrlClicksFollowTheirRules();
    void aClickInsideASelectionKeepsItForADrag();
    void aDragMovesTheWholeSelection();
    void noDragStartsWithTheRootSelected();
    void dropOntoAnOwnDescendantOnlyNotifies();
    void scenesRemovedByOtherCodeAreForgotten();
    void collapsingKeepsOnlyTheCollapsedNodeSelected();
    void doubleClickAndRightClick();
    void addSceneRefusesAndInserts();
    void saveImageWritesJpegAndBmpAndRefusesOthers();
    void tooltipDescribesTheSceneUnderTheMouse();
    void longOperationsHonourPauseAndCancel();
    void aHundredThousandNodesLayOutPaintAndHitTest();

private:
    // root(0) -> A(40) {A1(45), A2(50), A3(55)}, B(80) {B1(85) {B11(86)}}, C(120)
    // Rows: 0 root, 1 A, 2 A1, 3 A2, 4 A3, 5 B, 6 B1, 7 B11, 8 C.
    CSceneNode *node(std::initializer_list<int> path) {
        return nodeAt(m_description->root(), path);
    }

    std::unique_ptr<CVideoDescription> m_description;
    CVideoManager m_video;
    std::unique_ptr<CSceneImageTree> m_tree;
};

void TestSceneImageTree::init() {
    QCOMPARE(m_video.open(fixturePath("cuts.mp4")), 1);
    m_description = std::make_unique<CVideoDescription>();
    CSceneNode &root = m_description->root();
    root.setExpanded(1);
    addScenes(root, {{40, {{45}, {50}, {55}}}, {80, {{85, {{86}}}}}, {120}});
    node({0})->info().title = "Opening";
    node({0})->info().comment = "first";
    m_tree = std::make_unique<CSceneImageTree>();
    QCOMPARE(m_tree->loadBitmaps(250, 249, 456, 455, kivo::skin::kTransparentColor), 1);
    m_tree->setThumbnailRect(3, 3, 35, 18);
    m_tree->setSizeRate(1.0f);
    m_tree->resize(300, 400);
    m_tree->attach(m_description.get(), &m_video);
    m_tree->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_tree.get()));
}

void TestSceneImageTree::cleanup() {
    m_tree.reset();
    m_description.reset();
    m_video.close();
}

void TestSceneImageTree::geometryFollowsTheSizeRate() {
    QCOMPARE(m_tree->loadBitmaps(250, 249, 456, 4242, kivo::skin::kTransparentColor), 0);
    QVERIFY(m_tree->thumbnail(0) != nullptr);
    QCOMPARE(m_tree->thumbnailCache()->width(), 35);

    m_tree->setSizeRate(1.5f);
    const CSceneTreeGeometry &g = m_tree->geometry();
    QCOMPARE(g.cellWidth, 61);
    QCOMPARE(g.cellHeight, 37);
    QCOMPARE(g.thumbnail, QRect(4, 4, 52, 27));
    QCOMPARE(g.indent, 30);
    QCOMPARE(g.rowPitch, 47);
    // The thumbnails are dropped and made again at the new size.
    QCOMPARE(m_tree->thumbnailCache()->size(), size_t{0});
    QCOMPARE(m_tree->thumbnailCache()->width(), 52);
    QCOMPARE(m_tree->thumbnail(0)->height(), 27);
    // A picture moved inside the cell keeps the thumbnails; a picture of another size drops them.
    const CDib *kept = m_tree->thumbnailCache()->find(0);
    m_tree->setThumbnailRect(2, 2, 35, 18);
    QCOMPARE(m_tree->geometry().thumbnail, QRect(3, 3, 52, 27));
    QCOMPARE(m_tree->thumbnailCache()->find(0), kept);
    m_tree->setThumbnailRect(3, 3, 30, 18);
    QCOMPARE(m_tree->thumbnailCache()->size(), size_t{0});
    QCOMPARE(m_tree->thumbnailCache()->width(), 45);

    m_tree->setSizeRate(0.0f);
    m_tree->setSizeRate(-2.0f);
    QCOMPARE(m_tree->sizeRate(), 1.5f);
}

void TestSceneImageTree::barsAppearOnlyWhenTheTreeDoesNotFit() {
    QVERIFY(m_tree->verticalBar()->isHidden());
    QVERIFY(m_tree->horizontalBar()->isHidden());
    QCOMPARE(m_tree->verticalPosition(), 0);
    QCOMPARE(m_tree->horizontalPosition(), 0);
    QCOMPARE(m_tree->verticalBar()->objectName(), QString("90000"));

    for (int i = 0; i < 30; ++i) {
        node({2})->addChild(200 + i);
    }
    m_tree->relayout();
    QVERIFY(!m_tree->verticalBar()->isHidden());
    QVERIFY(m_tree->horizontalBar()->isHidden());
    // 39 rows: (10 x 38 + 25 x 39 + 10) / 25 - 400 / 25 = 54 - 16 = 38; the range ends at 39.
    QCOMPARE(m_tree->verticalBar()->maximum(), 39);
    QCOMPARE(m_tree->verticalBar()->pageStep(), 16);
    m_tree->scrollToRow(-1);
    QCOMPARE(m_tree->verticalPosition(), 39);
    m_tree->scrollToRow(3);
    QCOMPARE(m_tree->verticalPosition(), 3);
    m_tree->scrollToRow(500);
    QCOMPARE(m_tree->verticalPosition(), 39);
    // The user's scrolling moves the cells up by three cell heights (75 pixels): row 2 (A1)
    // now starts at the top.
    m_tree->verticalBar()->setValue(3);
    QCOMPARE(m_tree->hitTest(QPoint(50, 2)).node, node({0, 0}));

    // Too narrow for the third level as well: both bars, the corner between them black.
    m_tree->resize(70, 400);
    QVERIFY(!m_tree->horizontalBar()->isHidden());
    QCOMPARE(m_tree->horizontalBar()->maximum(),
             (4 - 1) * 20 + 10 + 41 - 70 + 16);  // B11: 4 levels
    QCOMPARE(m_tree->horizontalPosition(), m_tree->horizontalBar()->maximum());
    QCOMPARE(m_tree->verticalBar()->height(), 400 - 16);
    QCOMPARE(shot(m_tree.get()).pixel(70 - 8, 400 - 8), kBlack);

    // Collapsing everything makes the tree fit again.
    m_description->root().setExpanded(0);
    m_tree->resize(300, 400);
    QVERIFY(m_tree->verticalBar()->isHidden());
    QCOMPARE(m_tree->verticalPosition(), 0);
}

void TestSceneImageTree::paintsCellsLinesAndButtons() {
    const QImage image = shot(m_tree.get());
    const QImage normal = kivo::skin::bitmap(250);
    const QImage expanded = kivo::skin::bitmap(455);
    // The root's cell is the normal cell bitmap, with its corner left transparent.
    QCOMPARE(image.pixel(cellAt(0, 0) + QPoint(20, 1)), normal.pixel(20, 1));
    QCOMPARE(image.pixel(cellAt(0, 0)), kBlack);
    // The root has no line and no button on its left.
    for (int x = 0; x < 5; ++x) {
        QCOMPARE(image.pixel(x, 5 + 12), kBlack);
    }
    // A's line runs from x 23 to x 15 at its middle (y 52) and up to the root's bottom (y 30).
    QCOMPARE(image.pixel(20, 52), kWhite);
    QCOMPARE(image.pixel(15, 35), kWhite);
    // A has children: its button sits on the joint, showing "-" (expanded).
    QCOMPARE(image.pixel(12 + 3, 49 + 3), expanded.pixel(3, 3));
    QCOMPARE(image.pixel(12 + 3, 49 + 2), expanded.pixel(3, 2));
    QCOMPARE(image.pixel(12 + 1, 49 + 3), expanded.pixel(1, 3));
    // C (row 8) has no children and no button: left of its line is background.
    QCOMPARE(image.pixel(13, 5 + 35 * 8 + 12), kBlack);
    QCOMPARE(image.pixel(20, 5 + 35 * 8 + 12), kWhite);
    // The layout points were written back.
    QCOMPARE(node({1, 0, 0})->layoutPoint(), (CLayoutPoint{65, 5 + 35 * 7}));

    // A selected scene is drawn with the selected cell.
    click(m_tree.get(), inCell(1, 8));
    const QImage selected = shot(m_tree.get());
    QCOMPARE(selected.pixel(cellAt(1, 8) + QPoint(20, 1)), kivo::skin::bitmap(249).pixel(20, 1));
    QVERIFY(selected.pixel(cellAt(1, 8) + QPoint(20, 1)) != normal.pixel(20, 1));
}

void TestSceneImageTree::collapsedChildrenAreNotDrawn() {
    const QImage before = shot(m_tree.get());
    QVERIFY(before.pixel(cellAt(2, 2) + QPoint(35, 1)) != kBlack);  // A1 drawn
    QCOMPARE(before.pixel(35, 70), kWhite);                         // and its line
    // A's button.
    click(m_tree.get(), QPoint(15, 52));
    QCOMPARE(node({0})->expanded(), 0);
    QCOMPARE(m_tree->hitTest(inCell(1, 2)).node, node({1}));  // B moved up to row 2
    const QImage after = shot(m_tree.get());
    // A1's cell place right of B's cell, and A1's line, show the background now.
    QCOMPARE(after.pixel(cellAt(2, 2) + QPoint(35, 1)), kBlack);
    QCOMPARE(after.pixel(35, 70), kBlack);
    // A's button shows "+".
    const QImage collapsed = kivo::skin::bitmap(456);
    QCOMPARE(after.pixel(12 + 3, 49 + 2), collapsed.pixel(3, 2));
}

void TestSceneImageTree::thumbnailsComeFromTheVideoAndFailuresAreRetried() {
    node({2})->setFrame(5000);  // C lies past the video's end
    m_tree->update();
    const QImage image = shot(m_tree.get());
    const CDib *thumbnail = m_tree->thumbnailCache()->find(40);
    QVERIFY(thumbnail != nullptr);
    const QPoint place = cellAt(1, 1) + QPoint(3, 3);
    for (QPoint p : {QPoint(0, 0), QPoint(10, 5), QPoint(34, 17)}) {
        QCOMPARE(image.pixel(place + p) & 0xFFFFFFu, thumbnail->colorAt(p.x(), p.y()));
    }
    // C's picture area is the empty well of the cell bitmap, and nothing was kept for it.
    const QImage normal = kivo::skin::bitmap(250);
    QCOMPARE(image.pixel(cellAt(1, 8) + QPoint(10, 8)), normal.pixel(10, 8));
    QVERIFY(m_tree->thumbnailCache()->find(5000) == nullptr);
    const size_t kept = m_tree->thumbnailCache()->size();
    shot(m_tree.get());
    QVERIFY(m_tree->thumbnailCache()->find(5000) == nullptr);
    QCOMPARE(m_tree->thumbnailCache()->size(), kept);
}

void TestSceneImageTree::withoutATreeNothingHappens() {
    click(m_tree.get(), inCell(1, 1));
    m_tree->detach();
    const QImage image = shot(m_tree.get());
    for (QPoint p : {QPoint(25, 17), QPoint(15, 52), QPoint(299, 399)}) {
        QCOMPARE(image.pixel(p), kBlack);
    }
    QSignalSpy selected(m_tree.get(), &CSceneImageTree::sceneSelected);
    QSignalSpy changed(m_tree.get(), &CSceneImageTree::treeChanged);
    click(m_tree.get(), inCell(0, 0));
    QCOMPARE(m_tree->addScene(60), 0);
    QCOMPARE(m_tree->insertAfter(node({0}), 60), 0);
    QCOMPARE(m_tree->mergeSelected(), 0);
    QCOMPARE(m_tree->splitSelected(), 0);
    QCOMPARE(m_tree->deleteSelected(), 0);
    QCOMPARE(m_tree->saveImage(node({0})), 0);
    QCOMPARE(m_tree->moveSelectionUnder(node({1})), 0);
    QVERIFY(!m_tree->canDelete());
    QVERIFY(!m_tree->canMerge());
    QVERIFY(m_tree->thumbnail(40) == nullptr);
    QCOMPARE(m_tree->selectionCount(), 0);
    QCOMPARE(selected.count(), 0);
    QTest::qWait(1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(childFrames(m_description->root()), (std::vector<double>{40, 80, 120}));
    QVERIFY(m_tree->tooltipText(inCell(0, 0)).isEmpty());
}

void TestSceneImageTree::shiftAndCtrlClicksFollowTheirRules() {
    QSignalSpy selected(m_tree.get(), &CSceneImageTree::sceneSelected);
    click(m_tree.get(), inCell(2, 2));  // A1
    QCOMPARE(m_tree->selection(), std::vector<CSceneNode *>{node({0, 0})});
    QVERIFY(selected.count() >= 1);
    QCOMPARE(selected.last().at(1).value<CSceneNode *>(), node({0, 0}));

    // Shift on a node under another parent selects only that node.
    click(m_tree.get(), inCell(2, 6), Qt::ShiftModifier);  // B1
    QCOMPARE(m_tree->selection(), std::vector<CSceneNode *>{node({1, 0})});
    // Ctrl one level deeper than the last selected selects only the clicked node.
    click(m_tree.get(), inCell(3, 7), Qt::ControlModifier);  // B11
    QCOMPARE(m_tree->selection(), std::vector<CSceneNode *>{node({1, 0, 0})});
    // Ctrl at the same depth adds; Shift among siblings takes the run.
    click(m_tree.get(), inCell(2, 4));                       // A3
    click(m_tree.get(), inCell(2, 6), Qt::ControlModifier);  // B1, same depth
    QCOMPARE(m_tree->selectionCount(), 2);
    click(m_tree.get(), inCell(2, 2));                     // A1
    click(m_tree.get(), inCell(2, 4), Qt::ShiftModifier);  // A3
    QCOMPARE(m_tree->selection(),
             (std::vector<CSceneNode *>{node({0, 0}), node({0, 1}), node({0, 2})}));
    QVERIFY(m_tree->canMerge());
    QVERIFY(!m_tree->canDelete());
    QCOMPARE(m_tree->rowOfFirstSelected(), 2);
}

void TestSceneImageTree::aClickInsideASelectionKeepsItForADrag() {
    click(m_tree.get(), inCell(2, 2));
    click(m_tree.get(), inCell(2, 4), Qt::ShiftModifier);
    QCOMPARE(m_tree->selectionCount(), 3);
    QTest::mousePress(m_tree.get(), Qt::LeftButton, Qt::NoModifier, inCell(2, 3));
    QCOMPARE(m_tree->selectionCount(), 3);
    QTest::mouseRelease(m_tree.get(), Qt::LeftButton, Qt::NoModifier, inCell(2, 3));
    QCOMPARE(m_tree->selection(), std::vector<CSceneNode *>{node({0, 1})});
}

void TestSceneImageTree::aDragMovesTheWholeSelection() {
    click(m_tree.get(), inCell(2, 2));
    click(m_tree.get(), inCell(2, 4), Qt::ShiftModifier);
    QSignalSpy changed(m_tree.get(), &CSceneImageTree::treeChanged);
    const QPoint start = inCell(2, 3);
    QTest::mousePress(m_tree.get(), Qt::LeftButton, Qt::NoModifier, start);
    moveWithLeftButton(m_tree.get(), start + QPoint(5, 5));
    QVERIFY(!m_tree->isDragging());  // not more than 5 pixels yet
    moveWithLeftButton(m_tree.get(), start + QPoint(6, 0));
    QVERIFY(m_tree->isDragging());
    QVERIFY(m_tree->dropTarget() == node({0, 1}));
    moveWithLeftButton(m_tree.get(), QPoint(150, 200));  // empty space
    QVERIFY(m_tree->dropTarget() == nullptr);
    QCOMPARE(m_tree->cursor().shape(), Qt::ForbiddenCursor);
    moveWithLeftButton(m_tree.get(), inCell(1, 8));  // C
    QVERIFY(m_tree->dropTarget() == node({2}));
    QCOMPARE(m_tree->cursor().shape(), Qt::ArrowCursor);
    QTest::mouseRelease(m_tree.get(), Qt::LeftButton, Qt::NoModifier, inCell(1, 8));
    QVERIFY(!m_tree->isDragging());

    QCOMPARE(node({0})->childCount(), 0);
    QCOMPARE(childFrames(*node({2})), (std::vector<double>{45, 50, 55}));
    QCOMPARE(node({2})->expanded(), 1);
    QCOMPARE(m_tree->selectionCount(), 3);
    // Posted: it arrives from the event loop, once.
    QCOMPARE(changed.count(), 0);
    QTRY_COMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<CSceneImageTree *>(), m_tree.get());
}

void TestSceneImageTree::noDragStartsWithTheRootSelected() {
    click(m_tree.get(), inCell(0, 0));
    QTest::mousePress(m_tree.get(), Qt::LeftButton, Qt::NoModifier, inCell(0, 0));
    moveWithLeftButton(m_tree.get(), inCell(1, 8));
    QVERIFY(!m_tree->isDragging());
    QTest::mouseRelease(m_tree.get(), Qt::LeftButton, Qt::NoModifier, inCell(1, 8));
    QCOMPARE(childFrames(m_description->root()), (std::vector<double>{40, 80, 120}));
    QCOMPARE(m_tree->selection(), std::vector<CSceneNode *>{node({2})});
}

void TestSceneImageTree::dropOntoAnOwnDescendantOnlyNotifies() {
    click(m_tree.get(), inCell(1, 5));  // B
    QSignalSpy changed(m_tree.get(), &CSceneImageTree::treeChanged);
    QTest::mousePress(m_tree.get(), Qt::LeftButton, Qt::NoModifier, inCell(1, 5));
    moveWithLeftButton(m_tree.get(), inCell(3, 7));  // B11
    QVERIFY(m_tree->isDragging());
    QTest::mouseRelease(m_tree.get(), Qt::LeftButton, Qt::NoModifier, inCell(3, 7));
    QCOMPARE(childFrames(m_description->root()), (std::vector<double>{40, 80, 120}));
    QCOMPARE(childFrames(*node({1, 0})), (std::vector<double>{86}));
    QTRY_COMPARE(changed.count(), 1);
}

void TestSceneImageTree::scenesRemovedByOtherCodeAreForgotten() {
    click(m_tree.get(), inCell(2, 2));
    click(m_tree.get(), inCell(2, 4), Qt::ShiftModifier);
    m_description->root().deleteChild(0);  // A and the three selected scenes go
    QCOMPARE(m_tree->mergeSelected(), 0);
    QCOMPARE(m_tree->selectionCount(), 0);
    m_tree->relayout();
    click(m_tree.get(), inCell(1, 1));  // B is in row 1 now
    QCOMPARE(m_tree->selection(), std::vector<CSceneNode *>{node({0})});
}

void TestSceneImageTree::collapsingKeepsOnlyTheCollapsedNodeSelected() {
    click(m_tree.get(), inCell(2, 2));
    click(m_tree.get(), inCell(2, 3), Qt::ShiftModifier);
    QSignalSpy selected(m_tree.get(), &CSceneImageTree::sceneSelected);
    click(m_tree.get(), QPoint(15, 52));  // A's button
    QCOMPARE(node({0})->expanded(), 0);
    QCOMPARE(m_tree->selection(), std::vector<CSceneNode *>{node({0})});
    QCOMPARE(node({0, 0})->selected(), 0);
    QCOMPARE(selected.count(), 1);
    // Expanding again leaves the selection alone.
    click(m_tree.get(), QPoint(15, 52));
    QCOMPARE(node({0})->expanded(), 1);
    QCOMPARE(m_tree->selection(), std::vector<CSceneNode *>{node({0})});
}

void TestSceneImageTree::doubleClickAndRightClick() {
    QTest::mouseDClick(m_tree.get(), Qt::LeftButton, Qt::NoModifier, inCell(1, 5));  // B
    QCOMPARE(node({1})->expanded(), 0);
    QCOMPARE(m_tree->hitTest(inCell(1, 6)).node, node({2}));

    QSignalSpy context(m_tree.get(), &CSceneImageTree::contextRequested);
    QTest::mousePress(m_tree.get(), Qt::RightButton, Qt::NoModifier, inCell(1, 6));
    QCOMPARE(context.count(), 1);
    QCOMPARE(context.at(0).at(1).toPoint(), inCell(1, 6));
    QTest::mouseRelease(m_tree.get(), Qt::RightButton, Qt::NoModifier, inCell(1, 6));
    QTest::mousePress(m_tree.get(), Qt::RightButton, Qt::NoModifier, QPoint(250, 350));
    QCOMPARE(context.count(), 1);
}

void TestSceneImageTree::addSceneRefusesAndInserts() {
    QSignalSpy changed(m_tree.get(), &CSceneImageTree::treeChanged);
    QCOMPARE(m_tree->addScene(0), 0);
    QCOMPARE(m_tree->addScene(-3), 0);
    QCOMPARE(m_tree->addScene(85), 0);  // B1 has it
    QCOMPARE(m_tree->addScene(40), 0);
    QTest::qWait(1);
    QCOMPARE(changed.count(), 0);
    QCOMPARE(childFrames(m_description->root()), (std::vector<double>{40, 80, 120}));

    QCOMPARE(m_tree->addScene(60), 1);  // after A3 (55), before B (80): A3's next sibling
    QCOMPARE(childFrames(*node({0})), (std::vector<double>{45, 50, 55, 60}));
    QCOMPARE(m_tree->selection(), std::vector<CSceneNode *>{node({0, 3})});
    QTRY_COMPARE(changed.count(), 1);

    m_tree->attach(m_description.get(), nullptr);
    QCOMPARE(m_tree->addScene(70), 0);
}

void TestSceneImageTree::saveImageWritesJpegAndBmpAndRefusesOthers() {
    QTemporaryDir folder;
    kivo::ui::CScriptedAsker asker;
    kivo::ui::CScopedAsker scope(asker);
    QCOMPARE(m_tree->saveImage(), 0);  // nothing selected: not even a question
    QCOMPARE(asker.fileRequests().size(), 0);

    click(m_tree.get(), inCell(1, 1));
    asker.answerFile(folder.filePath("still"));
    asker.answerFile(folder.filePath("still.BMP"));
    asker.answerFile(folder.filePath("still.png"));
    QCOMPARE(m_tree->saveImage(), 1);
    QCOMPARE(m_tree->saveImage(), 1);
    QCOMPARE(m_tree->saveImage(), 0);
    QCOMPARE(asker.texts(), QStringList{QString::fromUtf8("지원하지 않는 파일형식입니다.")});
    QVERIFY(!QFile::exists(folder.filePath("still.png")));
    QCOMPARE(QImage(folder.filePath("still.jpg")).size(), QSize(320, 240));
    QCOMPARE(QImage(folder.filePath("still.BMP")).size(), QSize(320, 240));
    const kivo::ui::CFileRequest &request = asker.fileRequests().at(0);
    QVERIFY(request.save);
    QCOMPARE(request.filter, QString("Jpeg Files (*.JPG)|*.JPG;|BMP Files (*.BMP)|*.BMP;|"));
    QCOMPARE(request.defaultExtension, QString(".jpg"));

    // Cancelled: nothing is written and nothing is said.
    QCOMPARE(m_tree->saveImage(node({2})), 0);
    QCOMPARE(asker.texts().size(), 1);
    // A scene past the video's end cannot be grabbed.
    node({2})->setFrame(5000);
    asker.answerFile(folder.filePath("late.jpg"));
    QCOMPARE(m_tree->saveImage(node({2})), 0);
    QCOMPARE(asker.texts().last(),
             QString::fromUtf8("이미지를 가져오는 데 실패했습니다. 다시 시도하세요"));
    QVERIFY(!QFile::exists(folder.filePath("late.jpg")));
}

void TestSceneImageTree::tooltipDescribesTheSceneUnderTheMouse() {
    QCOMPARE(m_tree->tooltipText(inCell(1, 1)),
             QString::fromUtf8("제 목 : Opening\n주 석 : first\n번 호 : 40\n시 간 : 00:00:01"));
    node({2})->setFrame(3 * 3600 * 25 + 25 * 61);  // 3:01:01 at 25 frames per second
    QCOMPARE(m_tree->tooltipText(inCell(1, 8)),
             QString::fromUtf8("제 목 : \n주 석 : \n번 호 : 271525\n시 간 : 03:01:01"));
    QVERIFY(m_tree->tooltipText(QPoint(15, 52)).isEmpty());  // a button
    QVERIFY(m_tree->tooltipText(QPoint(250, 350)).isEmpty());
}

void TestSceneImageTree::longOperationsHonourPauseAndCancel() {
    QVERIFY(m_tree->continueLongOperation());
    m_tree->setPauseFlag(true);
    bool released = false;
    QTimer::singleShot(20, m_tree.get(), [&] {
        released = true;
        m_tree->setPauseFlag(false);
    });
    QVERIFY(m_tree->continueLongOperation());
    QVERIFY(released);
    m_tree->setPauseFlag(true);
    QTimer::singleShot(20, m_tree.get(), [&] { m_tree->setCancelFlag(true); });
    QVERIFY(!m_tree->continueLongOperation());
    m_tree->clearLongOperationFlags();
    QVERIFY(!m_tree->cancelFlag());
    QVERIFY(!m_tree->pauseFlag());
}

void TestSceneImageTree::aHundredThousandNodesLayOutPaintAndHitTest() {
    CSceneNode &root = m_description->root();
    root.clearChildren();
    for (int chapter = 0; chapter < 1000; ++chapter) {
        CSceneNode *parent = root.addChild(1000.0 + chapter * 100);
        parent->setExpanded(1);
        for (int scene = 1; scene < 100; ++scene) {
            parent->addChild(1000.0 + chapter * 100 + scene);
        }
    }
    m_tree->reset();
    QCOMPARE(m_tree->verticalBar()->isHidden(), false);
    m_tree->scrollToRow(-1);
    shot(m_tree.get());
    const CSceneNode *last = nodeAt(root, {999, 98});
    const QPoint place(last->layoutPoint().x + 3, last->layoutPoint().y + 3);
    QVERIFY(m_tree->rect().contains(place));
    QCOMPARE(m_tree->hitTest(place).node, last);
    QCOMPARE(m_tree->addScene(1000.0 + 999 * 100 + 99), 0);
    QCOMPARE(m_tree->addScene(1000.0 + 1000 * 100), 1);
    QCOMPARE(nodeAt(root, {999})->childCount(), 100);
}

QTEST_MAIN(TestSceneImageTree)
#include "test_sceneimagetree.moc"
