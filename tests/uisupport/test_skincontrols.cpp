#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <thread>

#include "platform/messages.h"
#include "uisupport/asker.h"
#include "uisupport/containerwnd.h"
#include "uisupport/dlgmanager.h"
#include "uisupport/flatbutton.h"
#include "uisupport/gprogress.h"
#include "uisupport/hoverbutton.h"
#include "uisupport/magnet.h"
#include "uisupport/registry.h"
#include "uisupport/resourcestrings.h"
#include "uisupport/skin.h"
#include "uisupport/snapatrest.h"
#include "uisupport/textdisplays.h"
#include "uisupport/tslider.h"

namespace {

void pressAt(QWidget *widget, Qt::MouseButton button, QPoint point) {
    QTest::mousePress(widget, button, Qt::NoModifier, point);
}

}  // namespace

class TestSkinControls : public QObject {
    Q_OBJECT

private slots:
    void bitmapsHaveTheirSizesAndTransparentKey();
    void iconsAndCursorsByNumber();
    void hoverButtonShowsItsLooksAndAsksForTheRateMenu();
    void sliderReportsMovesByHandOnly();
    void progressAndTimeDisplays();
    void messageLineShortensByItsFlags();
    void scriptedAskerAnswersAndRecords();
    void messageSinkBecomesMessageBoxesOnTheGuiThread();
    void flatButtonIconsAndTooltips();
    void magnetSnapsRegisteredWindows();
    void containerPagesWrapBothWays();
    void placementOfAWindowGoesToTheSettings();
};

void TestSkinControls::bitmapsHaveTheirSizesAndTransparentKey() {
    const struct {
        int id;
        QSize size;
    } sizes[] = {{249, {41, 25}}, {250, {41, 25}}, {251, {7, 7}},   {252, {7, 7}}, {455, {7, 7}},
                 {456, {7, 7}},   {369, {46, 23}}, {370, {46, 23}}, {463, {99, 9}}};
    for (const auto &entry : sizes) {
        const QImage image = kivo::skin::bitmap(entry.id);
        QCOMPARE(image.size(), entry.size);
    }
    QVERIFY(kivo::skin::bitmap(12345).isNull());
    QVERIFY(kivo::skin::keyedPixmap(12345).isNull());

    // The cell's corner is the key colour; the masked pixmap lets the background through there
    // and nowhere inside the frame.
    const QImage cell = kivo::skin::bitmap(250);
    QCOMPARE(cell.pixel(0, 0), kivo::skin::kTransparentColor);
    QVERIFY(cell.pixel(20, 12) != kivo::skin::kTransparentColor);
    const QImage masked = kivo::skin::keyedPixmap(250).toImage();
    QCOMPARE(qAlpha(masked.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(masked.pixel(20, 12)), 255);
    QCOMPARE(masked.pixel(20, 12) | 0xFF000000u, cell.pixel(20, 12));
    // The selected cell looks different from the normal one, as do the two button states.
    QVERIFY(kivo::skin::bitmap(249) != cell);
    QVERIFY(kivo::skin::bitmap(455) != kivo::skin::bitmap(456));
    QCOMPARE(kivo::skin::bitmap(251), kivo::skin::bitmap(456));
}

void TestSkinControls::iconsAndCursorsByNumber() {
    QList<QImage> drawn;
    for (int id : {128, 144, 147, 130, 131, 132, 133, 134, 376, 377, 381}) {
        const QIcon icon = kivo::skin::icon(id);
        QVERIFY(!icon.isNull());
        QCOMPARE(icon.pixmap(16, 16).size(), QSize(16, 16));
        // Every number has art of its own.
        const QImage image = icon.pixmap(16, 16).toImage();
        QVERIFY2(!drawn.contains(image), qPrintable(QString::number(id)));
        drawn.append(image);
        // Drawn once: a list with an icon in each of its rows shares it.
        QCOMPARE(kivo::skin::icon(id).cacheKey(), icon.cacheKey());
    }
    QVERIFY(kivo::skin::icon(129).isNull());
    bool found = false;
    QCOMPARE(kivo::skin::cursor(427, &found).shape(), Qt::PointingHandCursor);
    QVERIFY(found);
    QCOMPARE(kivo::skin::cursor(1, &found).shape(), Qt::ArrowCursor);
    QVERIFY(!found);
}

void TestSkinControls::hoverButtonShowsItsLooksAndAsksForTheRateMenu() {
    COVHoverButton button;
    QCOMPARE(button.loadBitmaps(250, 250, 249, 250), 1);
    QCOMPARE(button.size(), QSize(41, 25));
    // An unknown bitmap refuses the whole set and keeps the old one.
    QCOMPARE(button.loadBitmaps(250, 99999), 0);
    QCOMPARE(button.setBtnCursor(427), 1);
    QCOMPARE(button.setBtnCursor(5), 0);

    const QImage normal = button.grab().toImage();
    button.setCheckable(true);
    button.setChecked(true);
    const QImage checked = button.grab().toImage();
    QVERIFY(normal != checked);
    QCOMPARE(checked.pixel(20, 1), kivo::skin::bitmap(249).pixel(20, 1));

    QSignalSpy rate(&button, &COVHoverButton::rateMenuRequested);
    pressAt(&button, Qt::RightButton, QPoint(5, 5));
    QCOMPARE(rate.count(), 0);
    button.setRateMenuButton(true);
    pressAt(&button, Qt::RightButton, QPoint(5, 5));
    QCOMPARE(rate.count(), 1);
    QCOMPARE(rate.at(0).at(0).value<COVHoverButton *>(), &button);
    button.setEnabled(false);
    pressAt(&button, Qt::RightButton, QPoint(5, 5));
    QCOMPARE(rate.count(), 1);
}

void TestSkinControls::sliderReportsMovesByHandOnly() {
    COVTSlider slider;
    QCOMPARE(slider.loadBitmaps(285, 204, 206), 1);
    QCOMPARE(slider.loadBitmaps(285, 77777, 206), 0);
    slider.resize(189, 12);  // 180 pixels of travel for a 9-pixel thumb
    slider.setRange(0.0, 180.0);
    QSignalSpy moved(&slider, &COVTSlider::moved);

    slider.setPos(500.0);
    QCOMPARE(slider.getPos(), 180.0);
    QCOMPARE(moved.count(), 0);

    // A press, a drag and a release: one report, at the release point; the program's position
    // updates during the drag are ignored.
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(4 + 10, 6));
    QMouseEvent drag(QEvent::MouseMove, QPointF(4 + 50, 6), slider.mapToGlobal(QPointF(54, 6)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&slider, &drag);
    slider.setPos(0.0);
    QCOMPARE(slider.getPos(), 50.0);
    QCOMPARE(moved.count(), 0);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(4 + 90, 6));
    QCOMPARE(moved.count(), 1);
    QCOMPARE(slider.getPos(), 90.0);
    slider.setPos(30.0);
    QCOMPARE(slider.getPos(), 30.0);

    slider.setTracking(true);
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(4 + 120, 6));
    QCOMPARE(moved.count(), 2);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, QPoint(500, 6));
    QCOMPARE(moved.count(), 3);
    QCOMPARE(slider.getPos(), 180.0);
}

void TestSkinControls::progressAndTimeDisplays() {
    COVGProgress progress;
    progress.setRange(0, 100);
    QCOMPARE(progress.setPos(40), 0);
    QCOMPARE(progress.setPos(140), 40);
    QCOMPARE(progress.pos(), 100);
    progress.setPos(-3);
    QCOMPARE(progress.pos(), 0);

    COVTimerST timer;
    QCOMPARE(timer.loadBitmap(12345), 0);
    QCOMPARE(timer.loadBitmap(463), 1);
    timer.setTime(3725);
    QCOMPARE(timer.text(), QString("01:02:05"));
    timer.setTime(-4);
    QCOMPARE(timer.text(), QString("00:00:00"));
    timer.setTime(100 * 3600 + 59);
    QCOMPARE(timer.text(), QString("00:00:59"));

    // The display is drawn from the glyph strip: each glyph of "00:00:59" comes from its cell.
    timer.resize(72, 9);
    const QImage shown = timer.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage glyphs = kivo::skin::bitmap(463);
    for (int x = 0; x < 9; ++x) {
        for (int y = 0; y < 9; ++y) {
            QCOMPARE(shown.pixel(7 * 9 + x, y), glyphs.pixel(9 * 9 + x, y));
            QCOMPARE(shown.pixel(2 * 9 + x, y), glyphs.pixel(10 * 9 + x, y));
        }
    }
}

void TestSkinControls::messageLineShortensByItsFlags() {
    COVMsgST line;
    QCOMPARE(line.setBkBitmap(12345), 0);
    line.resize(120, 13);
    const QString path = "/home/user/videos/a/very/long/folder/name/news-at-nine.mpg";
    line.setMessage(path);
    line.setTextFlags(0x4804);
    QVERIFY(line.shownText().endsWith("mpg"));
    QVERIFY(line.shownText().size() < path.size());
    line.setTextFlags(0x8804);
    QVERIFY(line.shownText().startsWith("/home"));
    QVERIFY(line.shownText().size() < path.size());
    line.setMessage("R&&D &Play");
    line.setTextFlags(0x4);
    QCOMPARE(line.shownText(), QString("R&D Play"));
    line.setTextFlags(0x804);
    QCOMPARE(line.shownText(), QString("R&&D &Play"));
}

void TestSkinControls::scriptedAskerAnswersAndRecords() {
    kivo::ui::CScriptedAsker scripted;
    kivo::ui::CScopedAsker scope(scripted);
    kivo::ui::setApplicationTitle("KIVO Player");
    scripted.answerMessage(kivo::ui::kAnswerYes);
    scripted.answerFile("/tmp/still");
    scripted.answerFile("/tmp/still.BMP");

    QCOMPARE(kivo::ui::messageBox(nullptr, "저장하시겠습니까?", kivo::ui::MessageButtons::YesNo,
                                  kivo::ui::MessageIcon::Question),
             int(kivo::ui::kAnswerYes));
    // Once the answers run out the safe button is taken.
    QCOMPARE(kivo::ui::messageBox(nullptr, "멈추시겠습니까?", kivo::ui::MessageButtons::YesNo),
             int(kivo::ui::kAnswerNo));
    QCOMPARE(scripted.unanswered(), 1);
    QCOMPARE(scripted.questions().at(0).caption, QString("KIVO Player"));
    QCOMPARE(scripted.texts(), QStringList({"저장하시겠습니까?", "멈추시겠습니까?"}));

    kivo::ui::CFileRequest request;
    request.filter = "Jpeg Files (*.JPG)|*.JPG;|";
    request.defaultExtension = ".jpg";
    QCOMPARE(kivo::ui::saveFileName(nullptr, request), QString("/tmp/still.jpg"));
    QCOMPARE(kivo::ui::saveFileName(nullptr, request), QString("/tmp/still.BMP"));
    QCOMPARE(kivo::ui::saveFileName(nullptr, request), QString());
    QCOMPARE(scripted.fileRequests().size(), 3);
    QVERIFY(scripted.fileRequests().at(0).save);
    kivo::ui::setApplicationTitle(QString());
}

void TestSkinControls::messageSinkBecomesMessageBoxesOnTheGuiThread() {
    kivo::ui::CScriptedAsker scripted;
    kivo::ui::CScopedAsker scope(scripted);
    const kivo::MessageSink previous = kivo::setMessageSink(nullptr);
    kivo::ui::installMessageSink();

    kivo::showMessage("Memory error");
    QCOMPARE(scripted.texts(), QStringList({"Memory error"}));
    QCOMPARE(scripted.questions().at(0).icon, kivo::ui::MessageIcon::Warning);

    // From a worker the box is queued to the GUI thread and the worker is not held up.
    std::thread worker([] { kivo::showMessage("Write Error in GIF file"); });
    worker.join();
    QCOMPARE(scripted.questions().size(), 1);
    QTRY_COMPARE(scripted.questions().size(), 2);
    QCOMPARE(scripted.texts().at(1), QString("Write Error in GIF file"));
    kivo::setMessageSink(previous);
}

void TestSkinControls::flatButtonIconsAndTooltips() {
    COVFlatButton button;
    QCOMPARE(button.setIcon(144), 1);
    QVERIFY(!button.icon().isNull());
    QCOMPARE(button.setIcon(4444), 0);
    QCOMPARE(button.setIconEx(144, 147), 1);
    QCOMPARE(button.setTooltipText(1081), 0);
    kivo::ui::registerResourceString(1081, "동영상 파일 열기");
    QCOMPARE(button.setTooltipText(1081), 1);
    QCOMPARE(button.toolTip(), QString("동영상 파일 열기"));
}

void TestSkinControls::magnetSnapsRegisteredWindows() {
    QWidget first;
    QWidget second;
    first.setWindowFlag(Qt::FramelessWindowHint);
    second.setWindowFlag(Qt::FramelessWindowHint);
    first.setGeometry(100, 100, 200, 150);
    second.setGeometry(400, 100, 200, 150);
    first.show();
    second.show();
    QVERIFY(QTest::qWaitForWindowExposed(&second));
    QVERIFY(!COVDlgManager::intersectDlg(&first, &second));

    COVMagnet magnet;
    QRect proposed(193, 106, 200, 150);
    QCOMPARE(magnet.checkMovingForAllDlg(&first, proposed), 0);  // not registered yet
    magnet.addDlg(&first);
    magnet.addDlg(&second);
    QCOMPARE(magnet.dialogCount(), 2);
    QCOMPARE(magnet.checkMovingForAllDlg(&first, proposed), 1);
    QCOMPARE(proposed, QRect(200, 100, 200, 150));
    // Sizing: only the right edge was dragged, and it lands on the other window.
    QRect wider(100, 100, 296, 150);
    QCOMPARE(magnet.checkSizingForAllDlg(&first, wider), 1);
    QCOMPARE(wider, QRect(100, 100, 300, 150));
    // A window the window system moved snaps once it has come to rest, sized ones at the
    // edges that were dragged only.
    COVSnapAtRest rest(magnet);
    first.move(193, 106);
    rest.follow(&first);
    QTRY_COMPARE(first.geometry().topLeft(), QPoint(200, 100));
    first.setGeometry(100, 100, 296, 150);
    rest.follow(&first, Qt::RightEdge);
    QTRY_COMPARE(first.geometry(), QRect(100, 100, 300, 150));
    magnet.removeDlg(&second);
    QRect alone(193, 106, 200, 150);
    QCOMPARE(magnet.checkMovingForAllDlg(&first, alone), 0);
}

void TestSkinControls::containerPagesWrapBothWays() {
    CContainerWnd container(293, true, nullptr);
    QList<QWidget *> pages;
    for (int i = 0; i < 5; ++i) {
        pages.append(new QWidget);
        container.addPage(pages.last());
    }
    container.resize(200, 300);
    container.show();
    QVERIFY(QTest::qWaitForWindowExposed(&container));
    QCOMPARE(container.currentPage(), 0);
    QCOMPARE(pages[0]->geometry(), QRect(15, 27, 170, 253));
    container.titleButton(CContainerWnd::kPreviousPageId)->click();
    QCOMPARE(container.currentPage(), 4);
    QVERIFY(pages[4]->isVisible() && !pages[0]->isVisible());
    container.titleButton(CContainerWnd::kNextPageId)->click();
    QCOMPARE(container.currentPage(), 0);
    container.showPage(7);
    QCOMPARE(container.currentPage(), 0);

    // The title-bar buttons stand at the right end; a hidden one leaves no gap.
    COVHoverButton *close = container.titleButton(CContainerWnd::kCloseId);
    COVHoverButton *next = container.titleButton(CContainerWnd::kNextPageId);
    QCOMPARE(close->geometry().right(), container.width() - 3);
    container.setCloseButtonShown(false);
    QCOMPARE(next->geometry().right(), container.width() - 3);
    container.setCloseButtonShown(true);
    QSignalSpy closed(&container, &CContainerWnd::closedByUser);
    close->click();
    QCOMPARE(closed.size(), 1);
    QVERIFY(!container.isVisible());
}

void TestSkinControls::placementOfAWindowGoesToTheSettings() {
    QTemporaryDir dir;
    COVRegistry registry(dir.filePath("KIVOP.conf"));
    QWidget window;
    window.setWindowFlag(Qt::FramelessWindowHint);
    window.setGeometry(120, 80, 300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    CWindowPlacement placement;
    QCOMPARE(COVDlgManager::setDlgPosInfo(registry, "View", &window), 1);
    QCOMPARE(registry.getDlgPosInfo("View", placement), 1);
    QCOMPARE(placement.showCmd, 1);
    QCOMPARE(placement.normalPosition, QRect(120, 80, 300, 200));

    // Maximised: the rectangle the window returns to, not the screen it fills.
    window.showMaximized();
    QVERIFY(window.isMaximized());
    QTRY_VERIFY(window.geometry() != QRect(120, 80, 300, 200));
    QCOMPARE(COVDlgManager::setDlgPosInfo(registry, "View", &window), 1);
    QCOMPARE(registry.getDlgPosInfo("View", placement), 1);
    QCOMPARE(placement.showCmd, 3);
    QCOMPARE(placement.normalPosition, QRect(120, 80, 300, 200));
    QCOMPARE(COVDlgManager::setDlgPosInfo(registry, "Main", nullptr), 0);
    QCOMPARE(registry.getDlgPosInfo("Main", placement), 0);
}

QTEST_MAIN(TestSkinControls)
#include "test_skincontrols.moc"
