#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// Every question the programs put to the user (message boxes and file dialogs) goes through one
// asker. The process has one current asker, the real dialogs by default; tests install a
// CScriptedAsker to give the answers and to read what was asked.
namespace kivo::ui {

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Question, Warning, Error };

// Answers keep the Windows numbers (IDOK, IDCANCEL, IDYES, IDNO) so that ported handlers can
// compare them as before.
enum MessageAnswer { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

struct CFileRequest {
    bool save = false;
    QString caption;           // empty: the dialog's own caption
    QString filter;            // Windows form "text|patterns|..."
    QString defaultExtension;  // "jpg" or ".jpg"; appended to a chosen name without extension
    QString initialPath;       // folder or proposed file name
    bool overwritePrompt = true;
    // In open mode: offer the address row, with these recent addresses; a new address the user
    // connects to is added. The choice is then the address instead of a file.
    QStringList *recentAddresses = nullptr;
};

class CAsker {
public:
    virtual ~CAsker() = default;
    // One of MessageAnswer.
    virtual int message(QWidget *parent, const QString &caption, const QString &text,
                        MessageButtons buttons, MessageIcon icon) = 0;
    // The chosen path, or an empty string when the user cancels.
    virtual QString fileName(QWidget *parent, const CFileRequest &request) = 0;
    // An open dialog in which several files can be chosen: the chosen paths, none on cancel.
    virtual QStringList fileNames(QWidget *parent, const CFileRequest &request) = 0;
    virtual QString folder(QWidget *parent, const QString &caption, const QString &start) = 0;
    // A notice after a finished action; it goes away by itself.
    virtual void notice(QWidget *parent, const QString &text) = 0;
};

// The real dialogs: QMessageBox with Korean button texts, QFileDialog.
class CDialogAsker : public CAsker {
public:
    int message(QWidget *parent, const QString &caption, const QString &text,
                MessageButtons buttons, MessageIcon icon) override;
    QString fileName(QWidget *parent, const CFileRequest &request) override;
    QStringList fileNames(QWidget *parent, const CFileRequest &request) override;
    QString folder(QWidget *parent, const QString &caption, const QString &start) override;
    // CNoticeDlg, closing itself.
    void notice(QWidget *parent, const QString &text) override;
};

// Answers from queues, in order; records every question. When a queue runs dry a message is
// answered with its safe button (OK for an OK box, otherwise Cancel or No) and a file or folder
// dialog is cancelled; `unanswered()` counts those.
class CScriptedAsker : public CAsker {
public:
    struct Question {
        QString caption;
        QString text;
        MessageButtons buttons;
        MessageIcon icon;
    };

    void answerMessage(int answer) { m_messageAnswers.append(answer); }
    void answerFile(const QString &path) { m_fileAnswers.append(path); }
    void answerFiles(const QStringList &paths) { m_multiFileAnswers.append(paths); }
    void answerFolder(const QString &path) { m_folderAnswers.append(path); }

    const QList<Question> &questions() const { return m_questions; }
    const QList<CFileRequest> &fileRequests() const { return m_fileRequests; }
    QStringList texts() const;
    int unanswered() const { return m_unanswered; }

    int message(QWidget *parent, const QString &caption, const QString &text,
                MessageButtons buttons, MessageIcon icon) override;
    QString fileName(QWidget *parent, const CFileRequest &request) override;
    QStringList fileNames(QWidget *parent, const CFileRequest &request) override;
    QString folder(QWidget *parent, const QString &caption, const QString &start) override;
    // Recorded as a question with an OK button and the information icon.
    void notice(QWidget *parent, const QString &text) override;

private:
    QList<int> m_messageAnswers;
    QStringList m_fileAnswers;
    QList<QStringList> m_multiFileAnswers;
    QStringList m_folderAnswers;
    QList<Question> m_questions;
    QList<CFileRequest> m_fileRequests;
    int m_unanswered = 0;
};

// The current asker (never null).
CAsker &asker();
// Installs an asker for the life of the object (not owned) and restores the previous one.
class CScopedAsker {
public:
    explicit CScopedAsker(CAsker &asker);
    ~CScopedAsker();
    CScopedAsker(const CScopedAsker &) = delete;
    CScopedAsker &operator=(const CScopedAsker &) = delete;

private:
    CAsker *m_previous;
};

// The caption of every message box: the application's display name unless set here.
QString applicationTitle();
void setApplicationTitle(const QString &title);

// A message box with the application title as caption; returns a MessageAnswer.
int messageBox(QWidget *parent, const QString &text, MessageButtons buttons = MessageButtons::Ok,
               MessageIcon icon = MessageIcon::None);
// A notice through the asker ("정상적으로 저장되었습니다.").
void notice(QWidget *parent, const QString &text);
// File dialogs through the asker. The default extension is added to a chosen name that has
// none, whichever asker answered.
QString openFileName(QWidget *parent, CFileRequest request);
QString saveFileName(QWidget *parent, CFileRequest request);
QStringList openFileNames(QWidget *parent, CFileRequest request);
QString existingFolder(QWidget *parent, const QString &caption, const QString &start);

// Routes the texts of code without a window (kivo::showMessage) into message boxes with a
// warning icon. A text raised on another thread is queued to the GUI thread, never waited for.
void installMessageSink();

}  // namespace kivo::ui
