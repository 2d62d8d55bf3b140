// SAMI documents from files and addresses, within the download's limits (a real HTTP server on
// the loopback), the caption track the engine is given, and what real libmpv then shows of a
// file with a Korean and an English section.
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "media/playback/playbackengine.h"
#include "media/playback/playbacktestsupport.h"
#include "platform/cp949.h"
#include "player/captions/captiontrack.h"
#include "player/captions/samihttpserver.h"
#include "player/captions/samisource.h"

using kivo::captions::CSamiEntry;

namespace {

QByteArray cp949(const char *utf8) {
    return QByteArray::fromStdString(*kivo::utf8ToCp949(utf8));
}

QString writeFile(const QTemporaryDir &dir, const char *name, const QByteArray &bytes) {
    QFile file(dir.filePath(QString::fromLatin1(name)));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        return {};
    }
    return file.fileName();
}

}  // namespace

class TestSamiSource : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("cache"))));
    }

    // A local file and an address give the same entries; redirects are followed up to five
    // times; a loop, a sixth redirect, a missing page, an unknown scheme and a missing file
    // give nothing.
    void documentsComeFromFilesAndAddresses() {
        const QByteArray document = cp949(kTwoLanguageSami);
        CSamiHttpServer server(document);
        const QString local = writeFile(m_dir, "talk.smi", document);
        const auto fromFile = kivo::captions::loadSami(local);
        QVERIFY(fromFile.has_value());
        const std::vector<CSamiEntry> korean = {{300, "첫 자막"}, {1200, ""}, {1500, "둘째 자막"}};
        QCOMPARE(*fromFile, korean);
        const auto fromAddress = kivo::captions::loadSami(server.address("/talk.smi"));
        QVERIFY(fromAddress.has_value());
        QCOMPARE(*fromAddress, korean);

        QCOMPARE(kivo::captions::fetchSamiBytes(server.address("/r5")), document);
        const qsizetype before = server.paths().size();
        QVERIFY(!kivo::captions::fetchSamiBytes(server.address("/r6")));
        // Five redirects followed (to /r1), the sixth (to the document) not.
        const QList<QByteArray> asked = server.paths().mid(before);
        QVERIFY(asked.contains("/r1"));
        QVERIFY(!asked.contains("/talk.smi"));
        QVERIFY(!kivo::captions::fetchSamiBytes(server.address("/loop")));
        QVERIFY(!kivo::captions::fetchSamiBytes(server.address("/gone.smi")));
        QVERIFY(!kivo::captions::fetchSamiBytes(m_dir.filePath(QStringLiteral("gone.smi"))));
        QVERIFY(!kivo::captions::fetchSamiBytes(QStringLiteral("ftp://127.0.0.1/talk.smi")));
        QVERIFY(!kivo::captions::fetchSamiBytes(QString()));
        // A page that is no SAMI document downloads but does not read.
        QVERIFY(kivo::captions::fetchSamiBytes(server.address("/r1")));
        CSamiHttpServer html("<html><body>no captions</body></html>");
        QVERIFY(!kivo::captions::loadSami(html.address("/talk.smi")));
    }

    // An address that never answers is given up at the time limit, one that sends without end
    // at the size limit.
    void downloadsEndWithinTheirLimits() {
        CSamiHttpServer server("");
        kivo::net::CFetchLimits limits = kivo::captions::kSamiDownloadLimits;
        limits.timeoutMs = 700;
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!kivo::captions::fetchSamiBytes(server.address("/hang"), limits));
        QVERIFY(clock.elapsed() >= 600 && clock.elapsed() < 5000);

        limits.timeoutMs = 20'000;
        limits.maxBytes = 1024 * 1024;
        clock.restart();
        QVERIFY(!kivo::captions::fetchSamiBytes(server.address("/endless"), limits));
        QVERIFY(clock.elapsed() < 15'000);
    }

    // The track holds the captions in time order, each until the next entry, empty entries
    // only clearing, the last one for a minute.
    void trackTimesFollowTheDocument() {
        const std::vector<CSamiEntry> entries = {{2000, "둘"},      {-50, "영"},
                                                 {1000, "하나"},    {1500, ""},
                                                 {2000, "둘 다시"}, {3600000 + 61000, "끝"}};
        QCOMPARE(kivo::captions::srtBytes(entries),
                 QByteArray("1\n00:00:00,000 --> 00:00:01,000\n영\n\n"
                            "2\n00:00:01,000 --> 00:00:01,500\n하나\n\n"
                            "3\n00:00:02,000 --> 01:01:01,000\n둘 다시\n\n"
                            "4\n01:01:01,000 --> 01:02:01,000\n끝\n\n"));
        QVERIFY(kivo::captions::srtBytes({}).isEmpty());

        const QString sami = writeFile(m_dir, "track.smi", cp949(kTwoLanguageSami));
        const QString folder = kivo::captions::captionTrackFolder();
        QVERIFY(folder.startsWith(m_dir.path()));
        const QString track = kivo::captions::writeCaptionTrack(sami, folder);
        QVERIFY(!track.isEmpty());
        QFile file(track);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("첫 자막") && bytes.contains("둘째 자막"));
        QVERIFY(!bytes.contains("caption"));
        // The same document gets the same track; an unreadable one gets none.
        QCOMPARE(kivo::captions::writeCaptionTrack(sami, folder), track);
        const QString binary = writeFile(m_dir, "binary.smi", QByteArray(4096, '\x01'));
        QVERIFY(kivo::captions::writeCaptionTrack(binary, folder).isEmpty());
    }

    // Played by real libmpv, a two-language file shows its Korean captions only, at their
    // times.
    void engineShowsOneLanguage() {
        const QString sami = writeFile(m_dir, "index.smi", cp949(kTwoLanguageSami));
        CPlaybackEngine engine;
        engine.setAudioOutput(QStringLiteral("null"));
        engine.setCaptionFileConverter([](const QString &captions) {
            return kivo::captions::writeCaptionTrack(captions,
                                                     kivo::captions::captionTrackFolder());
        });
        CEventLog<CPlaybackEngine> log(engine);
        engine.setSecondPath(sami);
        QCOMPARE(openFile(engine, fixture("index.mp4")), 1);
        QCOMPARE(engine.secondPath(), sami);
        QCOMPARE(engine.play(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(engine.currentPosition() > 2.2e7, 8000);
        QCOMPARE(engine.stop(), 1);
        QStringList shown;
        for (const auto &event : log.events) {
            if (event.code == CPlaybackEngine::kEventText && !event.text.trimmed().isEmpty()) {
                shown.append(event.text);
                // Within a tick or two of its time.
                const double start = event.text == u"첫 자막" ? 0.3e7 : 1.5e7;
                QVERIFY2(event.position >= start - 0.5e6 && event.position <= start + 2.5e6,
                         qPrintable(QString::number(event.position)));
            }
        }
        QCOMPARE(shown, (QStringList{QStringLiteral("첫 자막"), QStringLiteral("둘째 자막")}));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestSamiSource)
#include "test_samisource.moc"
