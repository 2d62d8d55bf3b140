// The caption editor page and the caption box in the running player, with real media: the
// editor's add, modify, delete and slider rules, its menu and SAMI export; the box's page,
// colours, fonts, docking and detached placement, and the caption it shows while a file plays.
#include <QAbstractButton>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "media/playback/playbackengine.h"
#include "media/playback/playbackwnd.h"
#include "platform/cp949.h"
#include "player/captions/captionedit.h"
#include "player/captions/samihttpserver.h"
#include "player/captions/samiwriter.h"
#include "player/captions/window/captionboxtext.h"
#include "player/captions/window/captionboxwnd.h"
#include "player/captions/window/captioneditpanel.h"
#include "player/lists/window/listwidgets.h"
#include "player/shell/playersettings.h"
#include "player/transport/playercommands.h"
#include "player/transport/videocommands.h"
#include "player/transport/window/playercontainers.h"
#include "player/transport/window/playerdlg.h"
#include "player/transport/window/videownd.h"
#include "scene/scvfile.h"
#include "scene/videodescription.h"
#include "testsupport/fixturepath.h"
#include "testsupport/widgetreading.h"
#include "uisupport/asker.h"
#include "uisupport/registry.h"
#include "uisupport/sysinfo.h"

namespace {

CCaptionEntry caption(double time, const char *text) {
    CCaptionEntry entry;
    entry.time = time;
    entry.text = text;
    return entry;
}

QByteArray twoLanguageCp949() {
    return QByteArray::fromStdString(*kivo::utf8ToCp949(kTwoLanguageSami));
}

// A player whose engine makes no sound, on a settings file of the test's own.
struct CPlayer {
    explicit CPlayer(const QString &settingsFile) : registry(settingsFile), panel(registry, {}) {
        panel.session().engine().setAudioOutput(QStringLiteral("null"));
    }
    CCaptionEditPanel &editor() { return *panel.infoContainer()->captionEditPanel(); }
    CCaptionBoxWnd &box() { return panel.videoWindow().captionBox(); }
    std::vector<CCaptionEntry> &captions() { return panel.session().description()->captions(); }
    COVRegistry registry;
    CPlayerDlg panel;
};

}  // namespace

class TestCaptionWindows : public QObject {
    Q_OBJECT

    QTemporaryDir m_folder;
    QString settingsFile() const { return m_folder.filePath(QStringLiteral("KIVOP.conf")); }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("data"))));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_folder.filePath(QStringLiteral("cache"))));
    }

    // Captions are added at the time edit's time and kept in time order (equal times in the
    // order they came, the selection on the first of them), modified and deleted with their
    // messages; each edit marks the description changed.
    void editorAddsModifiesAndDeletes() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPlayer player(settingsFile());
        CCaptionEditPanel &page = player.editor();
        QLineEdit *time = page.edit(CCaptionEditPanel::kTimeEdit);
        QLineEdit *text = page.edit(CCaptionEditPanel::kTextEdit);
        QCOMPARE(time->text(), QStringLiteral("00:00:00.000"));
        QVERIFY(!page.button(CCaptionEditPanel::kAddButton)->isEnabled());
        QVERIFY(!page.slider().isEnabled());
        QVERIFY(!isEnabled(*page.contextMenu(false), CCaptionEditPanel::kAddCaption));
        QCOMPARE(text->maxLength(), 75);

        QCOMPARE(player.panel.openFile(fixture("cuts.mp4"), false), 1);
        QVERIFY(page.button(CCaptionEditPanel::kAddButton)->isEnabled());
        QVERIFY(text->isEnabled());
        QCOMPARE(player.panel.seekToPosition(2e7), 1);
        page.button(CCaptionEditPanel::kTimeButton)->click();
        QCOMPARE(time->text(), QStringLiteral("00:00:02.000"));
        text->setText(QStringLiteral("둘째"));
        page.button(CCaptionEditPanel::kAddButton)->click();
        QVERIFY(text->text().isEmpty());
        QVERIFY(player.panel.session().isDescriptionChanged());
        player.panel.session().markDescriptionSaved();

        time->setText(QStringLiteral("00:00:01.250"));
        text->setText(QStringLiteral("첫째"));
        QCOMPARE(page.runCommand(CCaptionEditPanel::kAddButton), 1);
        time->setText(QStringLiteral("00:00:02.000"));
        text->setText(QStringLiteral("같은 때"));
        QCOMPARE(page.runCommand(CCaptionEditPanel::kAddButton), 1);
        QCOMPARE(rowTexts(page.list(), 0),
                 (QStringList{QStringLiteral("00:00:01.250"), QStringLiteral("00:00:02.000"),
                              QStringLiteral("00:00:02.000")}));
        QCOMPARE(rowTexts(page.list(), 1),
                 (QStringList{QStringLiteral("첫째"), QStringLiteral("둘째"),
                              QStringLiteral("같은 때")}));
        QCOMPARE(kivo::lists::selectedRows(page.list()), std::vector<int>{1});
        QCOMPARE(player.captions()[0].time, 1.25e7);
        QVERIFY(player.panel.session().isDescriptionChanged());

        // Nothing selected: the two messages, and the list stays.
        page.list().clearSelection();
        QCOMPARE(page.runCommand(CCaptionEditPanel::kModifyButton), 0);
        QCOMPARE(page.runCommand(CCaptionEditPanel::kDeleteButton), 0);
        QCOMPARE(asker.texts(), (QStringList{QStringLiteral("수정할 캡션이 선택되 있지 않습니다."),
                                             QStringLiteral("삭제할 캡션을 먼저 선택하세요")}));
        QCOMPARE(player.captions().size(), size_t(3));

        // The last caption moves to the front; the selection follows it.
        kivo::lists::selectRows(page.list(), {2});
        QCOMPARE(page.runCommand(CCaptionEditPanel::kModifyCaption), 1);
        QCOMPARE(text->text(), QStringLiteral("같은 때"));
        time->setText(QStringLiteral("00:00:00.500"));
        QCOMPARE(page.runCommand(CCaptionEditPanel::kModifyButton), 1);
        QCOMPARE(rowTexts(page.list(), 1),
                 (QStringList{QStringLiteral("같은 때"), QStringLiteral("첫째"),
                              QStringLiteral("둘째")}));
        QCOMPARE(kivo::lists::selectedRows(page.list()), std::vector<int>{0});

        // A click shows the text; the Delete key deletes the selection, and the first caption
        // deleted selects the new first.
        page.rowClicked(2);
        QCOMPARE(text->text(), QStringLiteral("둘째"));
        kivo::lists::selectRows(page.list(), {0});
        QTest::keyClick(&page.list(), Qt::Key_Delete);
        QCOMPARE(rowTexts(page.list(), 1),
                 (QStringList{QStringLiteral("첫째"), QStringLiteral("둘째")}));
        QCOMPARE(kivo::lists::selectedRows(page.list()), std::vector<int>{0});
        // Deleting the last selects the one before it.
        kivo::lists::selectRows(page.list(), {1});
        QCOMPARE(page.runCommand(CCaptionEditPanel::kDeleteCaptions), 1);
        QCOMPARE(kivo::lists::selectedRows(page.list()), std::vector<int>{0});

        // Below the last row, modify and delete are grey; save and export need captions.
        const std::unique_ptr<QMenu> below = page.contextMenu(false);
        QVERIFY(!isEnabled(*below, CCaptionEditPanel::kModifyCaption));
        QVERIFY(!isEnabled(*below, CCaptionEditPanel::kDeleteCaptions));
        QVERIFY(isEnabled(*below, CCaptionEditPanel::kAddCaption));
        QVERIFY(isEnabled(*below, CCaptionEditPanel::kExportSami));
        QVERIFY(isEnabled(*page.contextMenu(true), CCaptionEditPanel::kDeleteCaptions));
        page.runCommand(CCaptionEditPanel::kDeleteCaptions);
        QVERIFY(player.captions().empty());
        QVERIFY(!isEnabled(*page.contextMenu(false), CCaptionEditPanel::kSaveCaptions));

        player.panel.closeFile();
        QCOMPARE(page.list().topLevelItemCount(), 0);
        QVERIFY(!page.button(CCaptionEditPanel::kAddButton)->isEnabled());
    }

    // The slider moves the time a tenth of a second a step and the picture with it; a move
    // before the start or beyond the end puts the slider back; a playing file stops first.
    void editorSliderNudgesThePlayer() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPlayer player(settingsFile());
        CCaptionEditPanel &page = player.editor();
        CPlaybackEngine &engine = player.panel.session().engine();
        QLineEdit *time = page.edit(CCaptionEditPanel::kTimeEdit);
        QCOMPARE(player.panel.openFile(fixture("cuts.mp4"), false), 1);
        QCOMPARE(player.panel.seekToPosition(3e7), 1);
        page.runCommand(CCaptionEditPanel::kAddCaption);
        QCOMPARE(time->text(), QStringLiteral("00:00:03.000"));

        page.slider().setValue(-10);
        QCOMPARE(time->text(), QStringLiteral("00:00:02.000"));
        QCOMPARE(page.sliderBase(), -10);
        QCOMPARE(engine.currentPosition(), 2e7);
        // 2 s - 19 s is before the start; 2 s + 21 s beyond the 6.4 s of the video.
        page.slider().setValue(-200);
        QCOMPARE(page.slider().value(), -10);
        page.slider().setValue(200);
        QCOMPARE(page.slider().value(), -10);
        QCOMPARE(time->text(), QStringLiteral("00:00:02.000"));
        page.slider().setValue(33);
        QCOMPARE(time->text(), QStringLiteral("00:00:06.300"));
        QCOMPARE(engine.currentPosition(), 6.3e7);

        // Playing: the slider stops the player and starts from where it stopped.
        QCOMPARE(player.panel.seekToPosition(1e7), 1);
        QCOMPARE(player.panel.play(), 1);
        QTRY_VERIFY(engine.currentPosition() > 1.3e7);
        page.slider().setValue(29);  // base 33: 0.4 s back from the stopped position
        QCOMPARE(player.panel.session().playState(), CPlayerSession::kStopped);
        const double stopped = kivo::captions::parseCaptionTimeText(time->text().toStdString());
        QVERIFY2(stopped > 0.8e7 && stopped < 6.4e7, qPrintable(time->text()));
        QCOMPARE(engine.currentPosition(), stopped);
        QCOMPARE(page.sliderBase(), 29);
        QVERIFY(asker.texts().isEmpty());
    }

    // Export writes the document of the captions; the notice says so. A double click plays
    // from the caption and shows it in the caption box.
    void editorExportsAndShowsCaptions() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CPlayer player(settingsFile());
        CCaptionEditPanel &page = player.editor();
        QCOMPARE(player.panel.openFile(fixture("cuts.mp4"), false), 1);
        QCOMPARE(page.runCommand(CCaptionEditPanel::kExportSami), 0);  // no captions
        // Out of order in the file: in order in the list.
        player.captions() = {caption(3e7, "셋"), caption(1.5e7, "하나 반")};
        emit player.panel.session().descriptionReplaced();
        QCOMPARE(rowTexts(page.list(), 1),
                 (QStringList{QStringLiteral("하나 반"), QStringLiteral("셋")}));

        const QString exported = m_folder.filePath(QStringLiteral("out"));
        asker.answerFile(exported);
        QCOMPARE(page.runCommand(CCaptionEditPanel::kExportSami), 1);
        const kivo::ui::CFileRequest &request = asker.fileRequests().last();
        QCOMPARE(request.caption, QStringLiteral("KIVO Player_SMI 파일 저장"));
        QVERIFY(request.save);
        QFile file(exported + QStringLiteral(".smi"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const std::vector<uint8_t> expected = kivo::captions::samiBytes(player.captions());
        QCOMPARE(file.readAll(), QByteArray(reinterpret_cast<const char *>(expected.data()),
                                            qsizetype(expected.size())));
        QCOMPARE(asker.texts().last(), QStringLiteral("정상적으로 저장되었습니다."));
        // A folder that does not exist: the failure's message, nothing written.
        asker.answerFile(m_folder.filePath(QStringLiteral("gone/out.smi")));
        QCOMPARE(page.runCommand(CCaptionEditPanel::kExportSami), 0);
        QVERIFY(asker.texts().last().startsWith(QStringLiteral("Error!! :")));

        page.rowDoubleClicked(1);
        QCOMPARE(player.panel.session().engine().currentPosition(), 3e7);
        QCOMPARE(page.edit(CCaptionEditPanel::kTimeEdit)->text(), QStringLiteral("00:00:03.000"));
        QCOMPARE(player.panel.session().captionText(), QStringLiteral("셋"));
        QCOMPARE(player.box().text(), QStringLiteral("셋"));
        QVERIFY(player.box().browser().toPlainText().contains(QStringLiteral("셋")));
    }

    // While the file plays, each caption reaches the box at its time, from the position
    // updates and the search by halving.
    void boxShowsCaptionsWhilePlaying() {
        CPlayer player(settingsFile());
        QCOMPARE(player.panel.openFile(fixture("cuts.mp4"), false), 1);
        player.captions() = {caption(1e7, "하나"), caption(2.5e7, "둘 반")};
        QStringList shown;
        QList<double> at;
        CPlaybackEngine &engine = player.panel.session().engine();
        connect(&player.panel.session(), &CPlayerSession::captionTextChanged, this,
                [&](const QString &text) {
                    shown.append(text);
                    at.append(engine.currentPosition());
                });
        QCOMPARE(player.panel.play(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(engine.currentPosition() > 2.8e7, 8000);
        QCOMPARE(shown, (QStringList{QStringLiteral("하나"), QStringLiteral("둘 반")}));
        // Never before 0.125 s ahead of its time, and not long after it.
        QVERIFY2(at[0] >= 1e7 - 1.25e6 && at[0] <= 1e7, qPrintable(QString::number(at[0])));
        QVERIFY2(at[1] >= 2.5e7 - 1.25e6 && at[1] <= 2.5e7, qPrintable(QString::number(at[1])));
        QCOMPARE(player.box().text(), QStringLiteral("둘 반"));
    }

    // A SAMI file beside the video, in Korean and English, plays its Korean captions only.
    void captionFileBesideTheVideoPlaysOneLanguage() {
        const QString video = m_folder.filePath(QStringLiteral("talk.mp4"));
        QVERIFY(QFile::copy(fixture("index.mp4"), video));
        QFile sami(m_folder.filePath(QStringLiteral("talk.smi")));
        QVERIFY(sami.open(QIODevice::WriteOnly));
        sami.write(twoLanguageCp949());
        sami.close();
        CPlayer player(settingsFile());
        CPlaybackEngine &engine = player.panel.session().engine();
        QStringList shown;
        connect(&player.panel.session(), &CPlayerSession::captionTextChanged, this,
                [&](const QString &text) {
                    if (!text.trimmed().isEmpty()) {
                        shown.append(text);
                    }
                });
        QCOMPARE(player.panel.openFile(video, true), 1);
        QCOMPARE(engine.secondPath(), sami.fileName());
        QTRY_VERIFY_WITH_TIMEOUT(engine.currentPosition() > 2.2e7, 8000);
        player.panel.closeFile();
        QCOMPARE(shown, (QStringList{QStringLiteral("첫 자막"), QStringLiteral("둘째 자막")}));
        QCOMPARE(player.box().text(), QStringLiteral("둘째 자막"));
    }

    // SMI -> SCV reads an address as well as a file; a page that is no SAMI document gets the
    // reading's message.
    void conversionReadsAnAddress() {
        kivo::ui::CScriptedAsker asker;
        kivo::ui::CScopedAsker scoped(asker);
        CSamiHttpServer server(twoLanguageCp949());
        CPlayer player(settingsFile());
        const QString scv = m_folder.filePath(QStringLiteral("fetched.scv"));
        for (const QString &answer : {server.address("/r2"), fixture("cuts.mp4"), scv}) {
            asker.answerFile(answer);
        }
        QCOMPARE(player.panel.runCommand(kivo::player::kConvertSamiToScv), 1);
        CVideoDescription converted;
        QCOMPARE(loadScv(scv.toStdString(), converted), ScvReadResult::Ok);
        QCOMPARE(converted.captions().size(), size_t(3));
        QCOMPARE(converted.captions()[2].text, std::string("둘째 자막"));
        QCOMPARE(converted.captions()[2].time, 1.5e7);

        asker.answerFile(server.address("/gone.smi"));
        QCOMPARE(player.panel.runCommand(kivo::player::kConvertSamiToScv), 0);
        QCOMPARE(asker.texts().last(), QStringLiteral("SMI 파일 분석에 실패했습니다."));
    }

    // The page: colours with two hex digits a part, the caption in the paragraph of the font
    // or as its own HTML, nothing from the network.
    void boxPageFollowsColoursAndFont() {
        QCOMPARE(kivo::captions::htmlColour(0xFFFFFF), QStringLiteral("#ffffff"));
        QCOMPARE(kivo::captions::htmlColour(0x0C0B0A), QStringLiteral("#0a0b0c"));
        CLogFont font{26, 700, true, true, true, QStringLiteral("NanumGothic")};
        QCOMPARE(kivo::captions::styledParagraph(QStringLiteral("<P Class=KRCC>Hi"), font),
                 QStringLiteral("<P style=\"margin-left:8pt; margin-right:8pt; "
                                "margin-bottom:2pt; margin-top:2pt; text-align:center; "
                                "font-family:NanumGothic; font-size:26px; font-weight:bold; "
                                "font-style:italic;\"><u><strike>Hi"));
        font = CLogFont{-20, 400, false, false, false, QStringLiteral("굴림")};
        QVERIFY(kivo::captions::styledParagraph(QStringLiteral("Hi"), font)
                    .endsWith(QStringLiteral("font-size:20px; font-weight:normal;\">Hi")));
        // 12 points at 96 dots an inch are 16 pixels, and back.
        QCOMPARE(kivo::captions::pixelsOfPoints(12, 96), 16);
        QCOMPARE(kivo::captions::pointsOfPixels(16, 96), 12.0);
        QCOMPARE(kivo::captions::pointsOfPixels(-26, 72), 26.0);

        CPlayer player(settingsFile());
        CCaptionBoxWnd &box = player.box();
        box.setBackgroundColour(0x000080);  // red 0x80
        box.setTextColour(0x00FFFF);        // yellow
        QCOMPARE(box.browser().palette().color(QPalette::Base), QColor(0x80, 0, 0));
        QCOMPARE(box.browser().palette().color(QPalette::Text), QColor(0xFF, 0xFF, 0));
        player.panel.session().setCaptionText(QStringLiteral("<P Class=KRCC>안녕"));
        QVERIFY(box.shownHtml().startsWith(QStringLiteral("<P style=")));
        QCOMPARE(box.browser().toPlainText(), QStringLiteral("안녕"));
        box.setOriginalFont(true);
        QCOMPARE(box.shownHtml(), QStringLiteral("<P Class=KRCC>안녕"));
        QVERIFY(player.panel.videoWindow().menuInput().originalFont);

        const QUrl local = QUrl::fromLocalFile(fixture("FIXTURES.txt"));
        QVERIFY(box.browser().loadResource(QTextDocument::HtmlResource, local).isValid());
        QVERIFY(!box.browser()
                     .loadResource(QTextDocument::ImageResource,
                                   QUrl(QStringLiteral("http://127.0.0.1:9/x.png")))
                     .isValid());
    }

    // Docked, the strip lies under the video within its limits; detached, the box is a window
    // of its own at the bottom of the work area, whose placement is kept when it hides and
    // found again; its close button hides the captions.
    void boxDocksAndDetaches() {
        CPlayer player(settingsFile());
        CVideoWnd &video = player.panel.videoWindow();
        CCaptionBoxWnd &box = player.box();
        QCOMPARE(player.panel.openFile(fixture("cuts.mp4"), false), 1);
        video.resize(400, 360);
        QCOMPARE(video.dockedCaptionHeight(), 0);
        QCOMPARE(player.panel.runCommand(kivo::player::kViewShowCaption), 1);
        QCOMPARE(video.dockedCaptionHeight(), 40);
        QVERIFY(!box.isDetached() && box.isVisible());
        QCOMPARE(box.height(), 40);
        QVERIFY(box.y() + box.height() <= video.height());
        QVERIFY(box.geometry().top() >= video.engineWindow().geometry().bottom());
        // The player's keys reach the strip from the caption editor's list too.
        QTest::keyClick(&player.editor().list(), Qt::Key_Up, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(video.dockedCaptionHeight(), 50);
        for (int i = 0; i < 5; ++i) {
            player.panel.runCommand(kivo::player::kKeyCaptionBoxShorter);
        }
        QCOMPARE(video.dockedCaptionHeight(), 20);
        for (int i = 0; i < 60; ++i) {
            player.panel.runCommand(kivo::player::kKeyCaptionBoxTaller);
        }
        QCOMPARE(video.dockedCaptionHeight(), video.height() - 10);
        player.panel.runCommand(kivo::player::kKeyCaptionBoxShorter);
        QCOMPARE(video.dockedCaptionHeight(), video.height() - 20);

        QCOMPARE(video.runCommand(kivo::player::kViewDetachCaptionBox), 1);
        QVERIFY(box.isDetached() && box.isVisible());
        QCOMPARE(video.dockedCaptionHeight(), 0);
        const QRect work = COVSysInfo::getWorkArea(&box);
        QCOMPARE(box.frameGeometry().width(), work.width());
        QCOMPARE(box.frameGeometry().bottom(), work.bottom());
        QCOMPARE(player.panel.runCommand(kivo::player::kKeyCaptionBoxTaller), 0);
        box.setGeometry(40, 50, 300, 80);
        QCOMPARE(player.panel.runCommand(kivo::player::kViewShowCaption), 1);
        QVERIFY(!box.isVisible());
        CWindowPlacement kept;
        QVERIFY(player.registry.getDlgPosInfo(QStringLiteral("CaptionBox"), kept));
        QCOMPARE(kept.normalPosition.size(), QSize(300, 80));
        QCOMPARE(player.panel.runCommand(kivo::player::kViewShowCaption), 1);
        QVERIFY(box.isVisible());
        QCOMPARE(box.frameGeometry().size(), QSize(300, 80));

        box.findChild<QAbstractButton *>(QStringLiteral("control1206"))->click();
        QVERIFY(!box.isVisible());
        QVERIFY(!video.menuInput().showCaption);
        QCOMPARE(video.runCommand(kivo::player::kViewDetachCaptionBox), 1);
        QVERIFY(!box.isDetached() && !box.isVisible());
    }
};

QTEST_MAIN(TestCaptionWindows)
#include "test_captionwindows.moc"
