#include <QtTest>

#include "uisupport/dialogunits.h"
#include "uisupport/fontsetting.h"

class TestFonts : public QObject {
    Q_OBJECT

private slots:
    void dialogUnitsScaleByTheFontsBaseUnits() {
        const CDialogUnits units(6, 12);
        QCOMPARE(units.x(379), 569);  // 379 * 6 / 4 = 568.5, rounded half up
        QCOMPARE(units.y(251), 377);  // 251 * 12 / 8 = 376.5
        QCOMPARE(units.rect(7, 37, 149, 160), QRect(11, 56, 223, 240));
        // Neighbouring controls meet exactly: the right edge of one is the left of the next.
        const QRect left = units.rect(7, 37, 149, 160);
        const QRect right = units.rect(156, 37, 3, 160);
        QCOMPARE(left.right() + 1, right.left());
    }

    void settingsFontKeepsEveryField() {
        const QFont font = kivo::skin::fontOf(CLogFont{-26, 700, true, false, true, "Serif"});
        QCOMPARE(font.pixelSize(), 26);
        QCOMPARE(font.weight(), QFont::Bold);
        QVERIFY(font.italic());
        QVERIFY(!font.underline());
        QVERIFY(font.strikeOut());
        QCOMPARE(font.family(), QStringLiteral("Serif"));
        // A cell height is used as it is; "any weight" is normal, and weights stay on the scale.
        QCOMPARE(kivo::skin::fontOf(CLogFont{13, 0, false, true, false, {}}).pixelSize(), 13);
        QCOMPARE(kivo::skin::fontOf(CLogFont{13, 0, false, true, false, {}}).weight(),
                 QFont::Normal);
        QCOMPARE(kivo::skin::fontOf(CLogFont{13, 5000, false, false, false, {}}).weight(), 1000);
        // Without a height the face's default size stays.
        QCOMPARE(kivo::skin::fontOf(CLogFont{}).pixelSize(), QFont().pixelSize());
    }

    void dialogUnitsGrowWithTheSettingsFont() {
        const CDialogUnits small(kivo::skin::fontOf(CLogFont{-12, 400, false, false, false, {}}));
        const CDialogUnits large(kivo::skin::fontOf(CLogFont{-24, 400, false, false, false, {}}));
        QVERIFY(small.baseWidth() > 0);
        QVERIFY(large.baseWidth() > small.baseWidth());
        QVERIFY(large.baseHeight() > small.baseHeight());
    }
};

QTEST_MAIN(TestFonts)
#include "test_fonts.moc"
