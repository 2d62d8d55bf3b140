#include "player/scenes/window/scenepagedialogs.h"

#include <QMenu>

#include "player/transport/playercontrol.h"
#include "player/transport/playersession.h"
#include "uisupport/asker.h"

namespace kivo::scenes {

bool askYes(QWidget *parent, const QString &question) {
    return kivo::ui::messageBox(parent, question, kivo::ui::MessageButtons::YesNo,
                                kivo::ui::MessageIcon::Question) == kivo::ui::kAnswerYes;
}

QAction *addMenuItem(QMenu &menu, const char *text, int command) {
    QAction *action = menu.addAction(QString::fromUtf8(text));
    action->setData(command);
    return action;
}

void offerToStopPlayback(QWidget *parent, CPlayerSession &session, const QString &question) {
    const int state = session.playState();
    if (state == CPlayerSession::kStopped || state == CPlayerSession::kPaused) {
        return;
    }
    if (askYes(parent, question) && session.control() != nullptr) {
        session.control()->stop();
    }
}

QString stopForJobQuestion(const QString &job) {
    return job + QStringLiteral(
                     " 작업을 하는 동안 영상이 재생중이면 재상상태가 느려지거나 끊길 수가 "
                     "있습니다.\n\n지금 재생을 멈추시겠습니까?");
}

}  // namespace kivo::scenes
