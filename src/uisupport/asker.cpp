#include "uisupport/asker.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include <cstdio>
#include <utility>

#include "platform/messages.h"
#include "uisupport/filedlg.h"
#include "uisupport/filefilter.h"
#include "uisupport/noticedlg.h"

namespace kivo::ui {
namespace {

CAsker *&currentAsker() {
    static CDialogAsker dialogs;
    static CAsker *current = &dialogs;
    return current;
}

QString &titleOverride() {
    static QString title;
    return title;
}

int safeAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok:
            return kAnswerOk;
        case MessageButtons::YesNo:
            return kAnswerNo;
        case MessageButtons::OkCancel:
        case MessageButtons::YesNoCancel:
            return kAnswerCancel;
    }
    return kAnswerCancel;
}

QString withDefaultExtension(const QString &path, const QString &extension) {
    if (path.isEmpty() || extension.isEmpty() || !QFileInfo(path).suffix().isEmpty()) {
        return path;
    }
    const QString bare = extension.startsWith(QLatin1Char('.')) ? extension.mid(1) : extension;
    return bare.isEmpty() ? path : path + QLatin1Char('.') + bare;
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::Warning:
            return QMessageBox::Warning;
        case MessageIcon::Error:
            return QMessageBox::Critical;
        case MessageIcon::None:
            return QMessageBox::NoIcon;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

int CDialogAsker::message(QWidget *parent, const QString &caption, const QString &text,
                          MessageButtons buttons, MessageIcon icon) {
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::NoButton, parent);
    struct Choice {
        QMessageBox::StandardButton button;
        const char *label;
        int answer;
    };
    QList<Choice> choices;
    switch (buttons) {
        case MessageButtons::Ok:
            choices = {{QMessageBox::Ok, "확인", kAnswerOk}};
            break;
        case MessageButtons::OkCancel:
            choices = {{QMessageBox::Ok, "확인", kAnswerOk},
                       {QMessageBox::Cancel, "취소", kAnswerCancel}};
            break;
        case MessageButtons::YesNo:
            choices = {{QMessageBox::Yes, "예(&Y)", kAnswerYes},
                       {QMessageBox::No, "아니요(&N)", kAnswerNo}};
            break;
        case MessageButtons::YesNoCancel:
            choices = {{QMessageBox::Yes, "예(&Y)", kAnswerYes},
                       {QMessageBox::No, "아니요(&N)", kAnswerNo},
                       {QMessageBox::Cancel, "취소", kAnswerCancel}};
            break;
    }
    for (const Choice &choice : choices) {
        box.addButton(choice.button)->setText(QString::fromUtf8(choice.label));
    }
    const int pressed = box.exec();
    for (const Choice &choice : choices) {
        if (pressed == choice.button) {
            return choice.answer;
        }
    }
    return safeAnswer(buttons);
}

QString CDialogAsker::fileName(QWidget *parent, const CFileRequest &request) {
    CFileDlg dialog(parent, request);
    dialog.exec();
    return dialog.choice();
}

QStringList CDialogAsker::fileNames(QWidget *parent, const CFileRequest &request) {
    CFileDlg dialog(parent, request);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted && !dialog.connected()) {
        return {};
    }
    // An address connected to through the address row is the one choice.
    return dialog.connected() ? QStringList{dialog.choice()} : dialog.selectedFiles();
}

QString CDialogAsker::folder(QWidget *parent, const QString &caption, const QString &start) {
    return QFileDialog::getExistingDirectory(parent, caption, start);
}

void CDialogAsker::notice(QWidget *parent, const QString &text) {
    CNoticeDlg(text, parent).exec();
}

void CScriptedAsker::notice(QWidget *, const QString &text) {
    m_questions.append({applicationTitle(), text, MessageButtons::Ok, MessageIcon::Information});
}

QStringList CScriptedAsker::texts() const {
    QStringList result;
    for (const Question &question : m_questions) {
        result.append(question.text);
    }
    return result;
}

int CScriptedAsker::message(QWidget *, const QString &caption, const QString &text,
                            MessageButtons buttons, MessageIcon icon) {
    m_questions.append({caption, text, buttons, icon});
    if (m_messageAnswers.isEmpty()) {
        ++m_unanswered;
        return safeAnswer(buttons);
    }
    return m_messageAnswers.takeFirst();
}

QString CScriptedAsker::fileName(QWidget *, const CFileRequest &request) {
    m_fileRequests.append(request);
    if (m_fileAnswers.isEmpty()) {
        ++m_unanswered;
        return {};
    }
    const QString answer = m_fileAnswers.takeFirst();
    // An address given as the answer is connected to through the address row.
    if (request.recentAddresses != nullptr && !request.save && answer.contains(u"://") &&
        !acceptAddress(answer, *request.recentAddresses)) {
        return {};
    }
    return answer;
}

QStringList CScriptedAsker::fileNames(QWidget *, const CFileRequest &request) {
    m_fileRequests.append(request);
    if (m_multiFileAnswers.isEmpty()) {
        ++m_unanswered;
        return {};
    }
    return m_multiFileAnswers.takeFirst();
}

QString CScriptedAsker::folder(QWidget *, const QString &, const QString &) {
    if (m_folderAnswers.isEmpty()) {
        ++m_unanswered;
        return {};
    }
    return m_folderAnswers.takeFirst();
}

CAsker &asker() {
    return *currentAsker();
}

CScopedAsker::CScopedAsker(CAsker &asker) : m_previous(std::exchange(currentAsker(), &asker)) {}

CScopedAsker::~CScopedAsker() {
    currentAsker() = m_previous;
}

QString applicationTitle() {
    if (!titleOverride().isEmpty()) {
        return titleOverride();
    }
    return QApplication::applicationDisplayName();
}

void setApplicationTitle(const QString &title) {
    titleOverride() = title;
}

int messageBox(QWidget *parent, const QString &text, MessageButtons buttons, MessageIcon icon) {
    return asker().message(parent, applicationTitle(), text, buttons, icon);
}

void notice(QWidget *parent, const QString &text) {
    asker().notice(parent, text);
}

QString openFileName(QWidget *parent, CFileRequest request) {
    request.save = false;
    return asker().fileName(parent, request);
}

QString saveFileName(QWidget *parent, CFileRequest request) {
    request.save = true;
    return withDefaultExtension(asker().fileName(parent, request), request.defaultExtension);
}

QStringList openFileNames(QWidget *parent, CFileRequest request) {
    request.save = false;
    return asker().fileNames(parent, request);
}

QString existingFolder(QWidget *parent, const QString &caption, const QString &start) {
    return asker().folder(parent, caption, start);
}

void installMessageSink() {
    kivo::setMessageSink([](const std::string &text) {
        const QString message = QString::fromStdString(text);
        QCoreApplication *app = QCoreApplication::instance();
        const auto show = [message] {
            messageBox(QApplication::activeWindow(), message, MessageButtons::Ok,
                       MessageIcon::Warning);
        };
        if (!app) {
            std::fprintf(stderr, "%s\n", text.c_str());
        } else if (QThread::currentThread() == app->thread()) {
            show();
        } else {
            QMetaObject::invokeMethod(app, show, Qt::QueuedConnection);
        }
    });
}

}  // namespace kivo::ui
