// The player's settings against a real settings file: the read rules, what a save leaves, the
// multi-player toggle, and where stored windows come back.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "player/shell/playersettings.h"

namespace {

// A settings file with the given INI text, as the user's folder would hold it.
QString settingsFile(const QTemporaryDir &folder, const QByteArray &text) {
    const QString path = folder.filePath(QStringLiteral("KIVOP.conf"));
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(text);
    }
    return path;
}

}  // namespace

class TestPlayerSettings : public QObject {
    Q_OBJECT

private slots:
    void storedValuesPassTheirReadRules_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<int>("bufferingTime");
        QTest::addColumn<int>("captionBoxHeight");
        QTest::addColumn<double>("viewRate");
        QTest::addColumn<double>("listRate");
        QTest::addColumn<int>("infoWidth");
        QTest::addColumn<bool>("topMost");
        QTest::newRow("nothing stored") << QByteArray() << 10 << 40 << 1.0 << 1.5 << 135 << false;
        QTest::newRow("buffering 61 refused")
            << QByteArray("[Player]\nBufferingTime=61\n") << 10 << 40 << 1.0 << 1.5 << 135 << false;
        QTest::newRow("buffering -1 refused")
            << QByteArray("[Player]\nBufferingTime=-1\n") << 10 << 40 << 1.0 << 1.5 << 135 << false;
        QTest::newRow("buffering 0 taken")
            << QByteArray("[Player]\nBufferingTime=0\n") << 0 << 40 << 1.0 << 1.5 << 135 << false;
        QTest::newRow("caption strip 20 refused, rates 0 refused")
            << QByteArray("[View]\nCaptionBoxHeight=20\nSizeRate=0\n[List]\nSizeRate=0\n") << 10
            << 40 << 1.0 << 1.5 << 135 << false;
        QTest::newRow("caption strip 21 taken, rates taken")
            << QByteArray("[View]\nCaptionBoxHeight=21\nSizeRate=2.5\n[List]\nSizeRate=3\n") << 10
            << 21 << 2.5 << 3.0 << 135 << false;
        QTest::newRow("width 0 gives 135, flag 2 is on")
            << QByteArray("[InfoDlg]\nWidth=0\n[Player]\nTopMost=2\n") << 10 << 40 << 1.0 << 1.5
            << 135 << true;
        QTest::newRow("not numbers")
            << QByteArray("[Player]\nBufferingTime=soon\nTopMost=yes\n[View]\nSizeRate=nan\n") << 10
            << 40 << 1.0 << 1.5 << 135 << false;
        QTest::newRow("a damaged file")
            << QByteArray("\xff\xfe[Play\x00er]\n==\n[View\nSizeRate=\x01\x02\n", 32) << 10 << 40
            << 1.0 << 1.5 << 135 << false;
    }
    void storedValuesPassTheirReadRules() {
        QFETCH(QByteArray, ini);
        QTemporaryDir folder;
        const COVRegistry registry(settingsFile(folder, ini));
        const CPlayerSettings settings = loadPlayerSettings(registry);
        QTEST(settings.bufferingTime, "bufferingTime");
        QTEST(settings.captionBoxHeight, "captionBoxHeight");
        QTEST(settings.sizeRate, "viewRate");
        QTEST(settings.listSizeRate, "listRate");
        QTEST(settings.infoWidth, "infoWidth");
        QTEST(settings.topMost, "topMost");
    }

    // Histories stop at the first empty entry; a save writes every value back, and a shorter
    // history leaves the older, higher-numbered entries in place.
    void savedSettingsReadBackTheSame() {
        QTemporaryDir folder;
        const QString path = settingsFile(
            folder, "[Player]\nRecent0=mms://a\nRecent1=mms://b\nRecent2=\nRecent3=mms://lost\n");
        CPlayerSettings settings;
        {
            COVRegistry registry(path);
            settings = loadPlayerSettings(registry);
            QCOMPARE(settings.recentAddresses, QStringList({"mms://a", "mms://b"}));
            settings.recentAddresses = {QStringLiteral("mms://new")};
            settings.finderFolders = {QStringLiteral("/home/u/Videos"), QStringLiteral("/media")};
            settings.bufferingTime = 0;
            settings.sizeRate = 2.0;
            settings.topMost = true;
            settings.captionText = 0x00FF00;
            settings.captionFont.faceName = QStringLiteral("나눔고딕");
            settings.detachCaptionBox = true;
            QCOMPARE(savePlayerSettings(registry, settings), 1);
        }
        COVRegistry again(path);
        QCOMPARE(again.getProfileString("Player", "Recent1"), QStringLiteral("mms://b"));
        CPlayerSettings expected = settings;
        expected.recentAddresses = {QStringLiteral("mms://new"), QStringLiteral("mms://b")};
        QCOMPARE(loadPlayerSettings(again), expected);
    }

    void multiPlayerToggles() {
        QTemporaryDir folder;
        COVRegistry registry(settingsFile(folder, "[Player]\nMultiPlayer=-3\n"));
        QVERIFY(!isMultiPlayer(registry));
        toggleMultiPlayer(registry);
        QVERIFY(isMultiPlayer(registry));
        QCOMPARE(registry.getProfileInt("Player", "MultiPlayer", -1), 1);
        toggleMultiPlayer(registry);
        QCOMPARE(registry.getProfileInt("Player", "MultiPlayer", -1), 0);
    }

    // A store that cannot be written (its folder is a file) reads as the defaults and says
    // that the save failed.
    void anUnwritableStoreGivesDefaultsAndSaysSo() {
        QTemporaryDir folder;
        QFile blocker(folder.filePath(QStringLiteral("config")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        COVRegistry registry(folder.filePath(QStringLiteral("config/KIVOP.conf")));
        QCOMPARE(loadPlayerSettings(registry), CPlayerSettings{});
        QCOMPARE(savePlayerSettings(registry, CPlayerSettings{}), 0);
    }

    void windowsComeBackOnScreen_data() {
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<bool>("sizeRestorable");
        QTest::addColumn<QRect>("placed");
        QTest::newRow("as stored") << QRect(100, 50, 400, 300) << true << QRect(100, 50, 400, 300);
        QTest::newRow("left edge -50 shown at 0")
            << QRect(-50, 10, 400, 300) << true << QRect(0, 10, 400, 300);
        QTest::newRow("a monitor that is gone")
            << QRect(3000, 2000, 400, 300) << true << QRect(1520, 740, 400, 300);
        QTest::newRow("smaller than the minimum")
            << QRect(10, 10, 100, 100) << true << QRect(10, 10, 135, 200);
        QTest::newRow("larger than the screen")
            << QRect(0, 0, 5000, 5000) << true << QRect(0, 0, 1920, 1040);
        QTest::newRow("size not restorable")
            << QRect(10, 10, 800, 600) << false << QRect(10, 10, 135, 200);
    }
    void windowsComeBackOnScreen() {
        QFETCH(QRect, stored);
        QFETCH(bool, sizeRestorable);
        QFETCH(QRect, placed);
        const QRect workArea(0, 0, 1920, 1040);
        QCOMPARE(restoredPlacement(stored, workArea, QSize(135, 200), sizeRestorable), placed);
    }

    void nothingStoredKeepsTheDefaultPlacement() {
        QVERIFY(!restoredPlacement(std::nullopt, QRect(0, 0, 800, 600), QSize(135, 200), true));
    }
};

QTEST_GUILESS_MAIN(TestPlayerSettings)
#include "test_playersettings.moc"
