// The libraries' diagnostics reach Qt's logging under "kivo.<category>", where Qt's own rules
// filter them like any other category.
#include <QLoggingCategory>
#include <QTest>

#include "platform/log.h"
#include "platform/qtlogsink.h"

#include <thread>

namespace {

struct CCaught {
    QtMsgType type;
    QString category;
    QString text;
};

QList<CCaught> &caught() {
    static QList<CCaught> lines;
    return lines;
}

void catchMessage(QtMsgType type, const QMessageLogContext &context, const QString &text) {
    caught().append({type, QString::fromLatin1(context.category), text});
}

}  // namespace

class TestQtLogSink : public QObject {
    Q_OBJECT

private slots:
    void init() {
        caught().clear();
        m_previousHandler = qInstallMessageHandler(catchMessage);
        m_previousSink = kivo::setLogSink({});
        kivo::installQtLogSink();
    }
    void cleanup() {
        kivo::setLogSink(std::move(m_previousSink));
        qInstallMessageHandler(m_previousHandler);
        QLoggingCategory::setFilterRules(QString());
    }

    void linesKeepTheirLevelAndCategory() {
        QLoggingCategory::setFilterRules(QStringLiteral("kivo.*.info=true"));
        kivo::logWarning("grabber", "\"clip.avi\" has no video stream");
        kivo::logInfo("imaging", "libjpeg: Corrupt JPEG data");
        QCOMPARE(caught().size(), 2);
        QCOMPARE(caught()[0].type, QtWarningMsg);
        QCOMPARE(caught()[0].category, QStringLiteral("kivo.grabber"));
        QCOMPARE(caught()[0].text, QStringLiteral("\"clip.avi\" has no video stream"));
        QCOMPARE(caught()[1].type, QtInfoMsg);
        QCOMPARE(caught()[1].category, QStringLiteral("kivo.imaging"));
    }

    void qtsRulesSilenceACategory() {
        QLoggingCategory::setFilterRules(QStringLiteral("kivo.grabber.warning=false"));
        kivo::logWarning("grabber", "hidden");
        kivo::logWarning("imaging", "shown");
        QCOMPARE(caught().size(), 1);
        QCOMPARE(caught()[0].text, QStringLiteral("shown"));
    }

    // The grabber's read-ahead logs from its own thread.
    void linesFromOtherThreadsArrive() {
        std::thread worker([] {
            for (int i = 0; i < 50; ++i) {
                kivo::logWarning(i % 2 ? "grabber" : "segmenter", "line");
            }
        });
        worker.join();
        QCOMPARE(caught().size(), 50);
        QCOMPARE(caught().back().category, QStringLiteral("kivo.grabber"));
    }

private:
    QtMessageHandler m_previousHandler = nullptr;
    kivo::LogSink m_previousSink;
};

QTEST_GUILESS_MAIN(TestQtLogSink)
#include "test_qtlogsink.moc"
