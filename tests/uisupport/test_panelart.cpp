#include <QPainter>
#include <QPolygon>
#include <QRegion>
#include <QTest>

#include <tuple>
#include <vector>

#include "uisupport/panelart.h"
#include "uisupport/skin.h"
#include "uisupport/videoframeart.h"

using namespace kivo::skin::panel;

namespace {

QRegion shape() {
    return QRegion(QPolygon(QList<QPoint>(kOutline.begin(), kOutline.end())), Qt::WindingFill);
}

const ButtonPlace &placeOf(int button) {
    return kButtons[static_cast<std::size_t>(button)];
}

QImage look(int button, Look which) {
    return kivo::skin::bitmap(bitmapId(static_cast<Button>(button), which));
}

bool allDark(const QImage &image, const QRect &area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) > 40) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

class TestPanelArt : public QObject {
    Q_OBJECT

private slots:
    void everyBitmapHasTheSizeOfItsPlace();
    void looksOfAButtonDifferAndSoDoTheButtons();
    void buttonsAndDisplaysSitInsideTheShapeWithoutOverlapping();
    void backgroundHasNoHolesAndDarkWellsUnderTheDisplays();
    void previewShowsTheShapeAndEveryButtonAtItsPlace();
    void videoFrameBarsCoverAnyLengthWithTheirEndsAtTheEnds();
};

void TestPanelArt::everyBitmapHasTheSizeOfItsPlace() {
    using namespace kivo::skin;
    QCOMPARE(bitmap(kPanelBackground).size(), kSize);
    QCOMPARE(bitmap(kFileInfoBackground).size(), kFileInfoLine.size());
    QCOMPARE(bitmap(kPlayStateBackground).size(), kPlayStateLine.size());
    // Eleven glyphs; "hh:mm:ss" takes eight of them.
    const QImage digits = bitmap(kTimeDigits);
    QCOMPARE(QSize(digits.width() / 11 * 8, digits.height()), kTimeDisplay.size());
    for (const auto &[channel, thumb, fill, place] :
         {std::tuple{kVolumeChannel, kVolumeThumb, kVolumeFill, kVolumeSlider},
          std::tuple{kPositionChannel, kPositionThumb, kPositionFill, kPositionSlider}}) {
        QCOMPARE(bitmap(channel).size(), place.size());
        QCOMPARE(bitmap(fill).size(), place.size());
        QVERIFY(bitmap(thumb).height() <= place.height());
    }
    for (int b = 0; b < kButtonCount; ++b) {
        for (int l = 0; l < kLookCount; ++l) {
            QCOMPARE(look(b, Look(l)).size(), placeOf(b).rect.size());
        }
    }
    // The buttons' numbers end with the last look of the last button.
    QVERIFY(bitmap(bitmapId(Button::kSpeaker, kDisabled) + 1).isNull());
    QVERIFY(bitmap(kPanelButtons - 1).isNull());
}

void TestPanelArt::looksOfAButtonDifferAndSoDoTheButtons() {
    for (int b = 0; b < kButtonCount; ++b) {
        for (int l = 0; l < kLookCount; ++l) {
            for (int m = l + 1; m < kLookCount; ++m) {
                QVERIFY2(
                    look(b, Look(l)) != look(b, Look(m)),
                    qPrintable(QStringLiteral("button %1, looks %2 and %3").arg(b).arg(l).arg(m)));
            }
        }
        // Buttons of one size tell themselves apart by their symbols alone.
        for (int other = b + 1; other < kButtonCount; ++other) {
            if (placeOf(other).rect.size() == placeOf(b).rect.size()) {
                QVERIFY2(look(b, kNormal) != look(other, kNormal),
                         qPrintable(QStringLiteral("buttons %1 and %2").arg(b).arg(other)));
            }
        }
    }
}

void TestPanelArt::buttonsAndDisplaysSitInsideTheShapeWithoutOverlapping() {
    std::vector<QRect> places;
    for (int b = 0; b < kButtonCount; ++b) {
        places.push_back(placeOf(b).rect);
    }
    places.insert(places.end(), {kTimeDisplay, kFileInfoLine, kPlayStateLine, kVolumeSlider,
                                 kPositionSlider, kTrackGrid});
    const QRegion window = shape();
    for (std::size_t i = 0; i < places.size(); ++i) {
        QVERIFY2((QRegion(places[i]) - window).isEmpty(), qPrintable(QString::number(i)));
        for (std::size_t j = i + 1; j < places.size(); ++j) {
            QVERIFY2(!places[i].intersects(places[j]),
                     qPrintable(QStringLiteral("%1 and %2").arg(i).arg(j)));
        }
    }
}

void TestPanelArt::backgroundHasNoHolesAndDarkWellsUnderTheDisplays() {
    // The background is copied as it is, so a key-coloured pixel inside the shape would show.
    const QImage background = kivo::skin::bitmap(kivo::skin::kPanelBackground);
    const QRegion window = shape();
    for (int y = 0; y < kSize.height(); ++y) {
        for (int x = 0; x < kSize.width(); ++x) {
            if (window.contains(QPoint(x, y))) {
                QVERIFY(background.pixel(x, y) != kivo::skin::kTransparentColor);
            }
        }
    }
    // White and yellow text, the lit digits and the track numbers are drawn onto dark wells.
    for (const QRect &display : {kTrackGrid, kTimeDisplay, kFileInfoLine, kPlayStateLine}) {
        QVERIFY(allDark(background, display));
    }
    for (int id : {kivo::skin::kFileInfoBackground, kivo::skin::kPlayStateBackground}) {
        const QImage line = kivo::skin::bitmap(id);
        QVERIFY(allDark(line, line.rect()));
    }
    // Around the wells the panel is lighter: the wells are cut where the displays are.
    QVERIFY(!allDark(background, kTrackGrid.adjusted(-3, -3, 3, 3)));
    QVERIFY(!allDark(background, kPlayStateLine.adjusted(0, 0, 0, 2)));
}

void TestPanelArt::previewShowsTheShapeAndEveryButtonAtItsPlace() {
    const QImage preview = kivo::skin::panel::preview();
    QCOMPARE(preview.size(), kSize);
    QCOMPARE(qAlpha(preview.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(preview.pixel(5, 95)), 0);
    QCOMPARE(qAlpha(preview.pixel(240, 50)), 255);
    for (int b = 0; b < kButtonCount; ++b) {
        const QRect place = placeOf(b).rect;
        const QImage normal = look(b, kNormal);
        // A row through the middle of the button, where no corner is cut.
        const int y = place.height() / 2;
        for (int x = 0; x < place.width(); ++x) {
            QCOMPARE(preview.pixel(place.left() + x, place.top() + y), normal.pixel(x, y));
        }
    }
}

// The video window's bars stretch to any length, even one shorter than their two ends, and
// every button of the frame has four looks of its size that differ.
void TestPanelArt::videoFrameBarsCoverAnyLengthWithTheirEndsAtTheEnds() {
    namespace frame = kivo::skin::videoframe;
    const QImage top = kivo::skin::bitmap(kivo::skin::kVideoTopBar);
    QCOMPARE(top.size(), QSize(48, 24));
    QCOMPARE(kivo::skin::bitmap(kivo::skin::kVideoLeftBar).size(), QSize(15, 48));
    for (const int length : {7, 31, 48, 333}) {
        QImage target(length + 2, 24, QImage::Format_RGB32);
        target.fill(kivo::skin::kTransparentColor);
        QPainter painter(&target);
        frame::drawBar(painter, top, QRect(1, 0, length, 24));
        painter.end();
        for (int x = 1; x <= length; ++x) {
            QVERIFY2(target.pixel(x, 12) != kivo::skin::kTransparentColor,
                     qPrintable(QStringLiteral("%1 at %2").arg(length).arg(x)));
        }
        QCOMPARE(target.pixel(0, 12), kivo::skin::kTransparentColor);
        QCOMPARE(target.pixel(length + 1, 12), kivo::skin::kTransparentColor);
        QCOMPARE(target.pixel(1, 12), top.pixel(0, 12));
        QCOMPARE(target.pixel(length, 12), top.pixel(47, 12));
    }
    for (int b = 0; b < frame::kButtonCount; ++b) {
        const auto button = static_cast<frame::Button>(b);
        const QSize size = button == frame::Button::kInfo || button == frame::Button::kInfo2
                               ? frame::kSideButton
                               : frame::kCornerButton;
        for (int l = 0; l < kLookCount; ++l) {
            const QImage image = kivo::skin::bitmap(frame::bitmapId(button, Look(l)));
            QCOMPARE(image.size(), size);
            if (l > 0) {
                QVERIFY(image != kivo::skin::bitmap(frame::bitmapId(button, Look(l - 1))));
            }
        }
    }
}

QTEST_MAIN(TestPanelArt)
#include "test_panelart.moc"
