// The player's file dialog: the address row in open mode, its connect rules and the recent list.
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "uisupport/asker.h"
#include "uisupport/filedlg.h"

class TestFileDlg : public QObject {
    Q_OBJECT

private slots:
    void theAddressRowIsOnlyForOpening() {
        QStringList recent{QStringLiteral("mms://a/live")};
        kivo::ui::CFileRequest request;
        request.recentAddresses = &recent;
        request.save = true;
        CFileDlg save(nullptr, request);
        QVERIFY(!save.hasAddressRow());
        QVERIFY(!save.addressBox()->isEnabled() && !save.connectButton()->isEnabled());
        QVERIFY(save.addressBox()->currentText().isEmpty());

        request.save = false;
        CFileDlg open(nullptr, request);
        QVERIFY(open.hasAddressRow() && open.connectButton()->isEnabled());
        QCOMPARE(open.addressBox()->count(), 2);
        QCOMPARE(open.addressBox()->itemText(1), QStringLiteral("mms://a/live"));
        QCOMPARE(open.addressBox()->currentText(), QStringLiteral("mms://"));
    }

    void connectTakesAnAddressOnceAndRefusesTheBarePrefix() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        QStringList recent;
        kivo::ui::CFileRequest request;
        request.recentAddresses = &recent;

        CFileDlg refused(nullptr, request);
        refused.addressBox()->setEditText(QStringLiteral("MMS://"));
        refused.connectButton()->click();
        QVERIFY(!refused.connected());
        QCOMPARE(asker.texts(), QStringList{QStringLiteral("파일 주소를 정확하게 입력하세요.")});
        QVERIFY(recent.isEmpty());

        for (const QString &typed :
             {QStringLiteral("http://host/Clip.asx"), QStringLiteral("HTTP://HOST/clip.ASX")}) {
            CFileDlg dialog(nullptr, request);
            dialog.addressBox()->setEditText(typed);
            dialog.connectButton()->click();
            QVERIFY(dialog.connected());
            QCOMPARE(dialog.choice(), typed);
        }
        QCOMPARE(recent, QStringList{QStringLiteral("http://host/Clip.asx")});
    }
};

QTEST_MAIN(TestFileDlg)
#include "test_filedlg.moc"
