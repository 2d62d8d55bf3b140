// The association dialog on the offscreen platform: its boxes start as the user's defaults are
// (a missing mimeapps.list is created first), OK applies them and cancel changes nothing.
#include <QAbstractButton>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "player/shell/fileassociations.h"
#include "player/shell/window/associationdlg.h"

using namespace kivo::shell;

class TestAssociationDlg : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;

private slots:
    void boxesShowTheDefaultsAndOnlyOkAppliesThem() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        QCOMPARE(CMimeAppsList().apply({{"audio/x-ms-asx", true}, {"video/mpeg", true}}), 1);
        CAssociationDlg dialog;
        for (const CAssociationBox &box : associationBoxes()) {
            QCOMPARE(dialog.control(box.id)->isChecked(),
                     box.types == QStringList("audio/x-ms-asx"));
        }
        dialog.control(1246)->setChecked(true);
        dialog.control(CAssociationDlg::kCancelButton)->click();
        QVERIFY(!currentAssociations(CMimeAppsList()).at(1246));

        CAssociationDlg again;
        again.control(1246)->setChecked(true);
        again.control(CAssociationDlg::kOkButton)->click();
        QVERIFY(currentAssociations(CMimeAppsList()).at(1246));
    }
};

QTEST_MAIN(TestAssociationDlg)
#include "test_associationdlg.moc"
