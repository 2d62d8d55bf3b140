#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "uisupport/registry.h"
#include "uisupport/registryex.h"

namespace {

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class RegistryTest : public ::testing::Test {
protected:
    QTemporaryDir m_dir;
    QString iniPath() const { return m_dir.filePath("KIVOP.conf"); }
};

TEST_F(RegistryTest, MissingOrUnreadableValuesYieldTheDefault) {
    writeAll(iniPath(),
             "[Player]\nBufferingTime=abc\nTopMost=1\n[View]\nSizeRate=x1.5\n[List]\n"
             "SizeRate=2.5\n");
    const COVRegistry registry(iniPath());
    EXPECT_EQ(registry.getProfileInt("Player", "BufferingTime", 10), 10);
    EXPECT_EQ(registry.getProfileInt("Player", "TopMost", 0), 1);
    EXPECT_EQ(registry.getProfileInt("Player", "Missing", -7), -7);
    EXPECT_EQ(registry.getProfileDouble("View", "SizeRate", 1.0), 1.0);
    EXPECT_EQ(registry.getProfileDouble("List", "SizeRate", 1.5), 2.5);
    EXPECT_EQ(registry.getProfileString("Player", "Recent0", "none"), QString("none"));
    CLogFont font;
    font.faceName = "unchanged";
    EXPECT_EQ(registry.getProfileFont("CaptionFont", "", font), 0);
    EXPECT_EQ(font.faceName, QString("unchanged"));
}

TEST_F(RegistryTest, TypedValuesSurviveAWriteAndARead) {
    CLogFont font{26, 700, true, false, true, QString::fromUtf8("굴림")};
    CWindowPlacement placement;
    placement.showCmd = 3;
    placement.normalPosition = QRect(-50, 20, 640, 480);
    {
        COVRegistry registry(iniPath());
        EXPECT_EQ(registry.writeProfileInt("Player", "BufferingTime", 0), 1);
        EXPECT_EQ(registry.writeProfileString("Player", "Recent0", QString::fromUtf8("mms://영상")),
                  1);
        EXPECT_EQ(registry.writeProfileDouble("Tree", "SizeRate", 0.1 + 0.2), 1);
        EXPECT_EQ(registry.writeProfileFont("CaptionFont", "", font), 1);
        EXPECT_EQ(registry.setDlgPosInfo("View", placement), 1);
        EXPECT_EQ(registry.writeProfileInt("View", "AutoScale", 1), 1);
        EXPECT_EQ(registry.flush(), 1);
    }
    const COVRegistry registry(iniPath());
    EXPECT_EQ(registry.getProfileInt("Player", "BufferingTime", 10), 0);
    EXPECT_EQ(registry.getProfileString("Player", "Recent0"), QString::fromUtf8("mms://영상"));
    EXPECT_EQ(registry.getProfileDouble("Tree", "SizeRate", 1.0), 0.1 + 0.2);
    CLogFont readFont;
    EXPECT_EQ(registry.getProfileFont("CaptionFont", "", readFont), 1);
    EXPECT_EQ(readFont, font);
    // A placement and ordinary values share the section without disturbing each other.
    CWindowPlacement readPlacement;
    EXPECT_EQ(registry.getDlgPosInfo("View", readPlacement), 1);
    EXPECT_EQ(readPlacement, placement);
    EXPECT_EQ(registry.getProfileInt("View", "AutoScale", 0), 1);
    EXPECT_EQ(registry.getDlgPosInfo("Main", readPlacement), 0);
}

TEST_F(RegistryTest, ADamagedPlacementIsNotRead) {
    writeAll(iniPath(),
             "[Main]\nPlacement=\"0,1,2,3\"\n[View]\nPlacement=\"0,1,-1,-1,-1,-1,a,0,9,9\"\n");
    const COVRegistry registry(iniPath());
    CWindowPlacement placement;
    placement.normalPosition = QRect(1, 2, 3, 4);
    EXPECT_EQ(registry.getDlgPosInfo("Main", placement), 0);
    EXPECT_EQ(registry.getDlgPosInfo("View", placement), 0);
    EXPECT_EQ(placement.normalPosition, QRect(1, 2, 3, 4));
}

class RegistryExTest : public RegistryTest {
protected:
    QString mimeApps() const { return m_dir.filePath("config/mimeapps.list"); }
};

TEST_F(RegistryExTest, BacksUpAndReplacesADefaultKeepingTheRestOfTheFile) {
    QDir().mkpath(m_dir.filePath("config"));
    const QByteArray original =
        "# keep me\n[Default Applications]\nx-scheme-handler/mms=totem.desktop\n\n[Other]\na=b\n";
    writeAll(mimeApps(), original);

    COVRegistryEx key;
    ASSERT_EQ(key.open(mimeApps(), "Default Applications"), 1);
    EXPECT_FALSE(key.verifyValue("KIVOP.bak"));
    QString previous;
    ASSERT_EQ(key.readString("x-scheme-handler/mms", previous), 1);
    EXPECT_EQ(key.writeString("KIVOP.bak", previous), 1);
    EXPECT_EQ(key.writeString("x-scheme-handler/mms", "kivop.desktop"), 1);
    key.close();
    EXPECT_EQ(key.writeString("x", "y"), 0);

    EXPECT_EQ(readAll(mimeApps()),
              "# keep me\n[Default Applications]\nx-scheme-handler/mms=kivop.desktop\n"
              "KIVOP.bak=totem.desktop\n\n[Other]\na=b\n");
    COVRegistryEx again;
    ASSERT_EQ(again.open(mimeApps(), "Default Applications"), 1);
    EXPECT_TRUE(again.verifyValue("KIVOP.bak"));
}

TEST_F(RegistryExTest, AMissingFileOpensEmptyAndIsCreatedByTheFirstWrite) {
    COVRegistryEx key;
    ASSERT_EQ(key.open(mimeApps(), "Default Applications"), 1);
    QString value = "untouched";
    EXPECT_EQ(key.readString("video/mpeg", value), 0);
    EXPECT_EQ(value, QString("untouched"));
    EXPECT_FALSE(QFile::exists(mimeApps()));
    EXPECT_EQ(key.writeString("video/mpeg", "kivop.desktop"), 1);
    EXPECT_EQ(readAll(mimeApps()), "[Default Applications]\nvideo/mpeg=kivop.desktop\n");
}

TEST_F(RegistryExTest, RefusesWhatIsNotASmallKeyFile) {
    COVRegistryEx key;
    EXPECT_EQ(key.open(m_dir.path(), "Default Applications"), 0);
    EXPECT_FALSE(key.isOpen());
    const QString huge = m_dir.filePath("huge.list");
    writeAll(huge, QByteArray(CIniDocument::kMaxSize + 1, 'x'));
    EXPECT_EQ(key.open(huge, "G"), 0);
    EXPECT_EQ(key.writeString("a", "b"), 0);
}

}  // namespace
