#pragma once

#include <QString>

class CPlayerSession;
class QAction;
class QMenu;
class QWidget;

// The questions and notices the scene pages share.
namespace kivo::scenes {

// A Yes/No question; true for Yes.
bool askYes(QWidget *parent, const QString &question);
// A menu item whose data is its command.
QAction *addMenuItem(QMenu &menu, const char *text, int command);
// Grabbing thumbnails while the video plays can make it stutter: while the player plays, asks
// the question and stops playback on Yes.
void offerToStopPlayback(QWidget *parent, CPlayerSession &session, const QString &question);
// The question of a job that re-extracts thumbnails (its name, e.g. "트리 확대").
QString stopForJobQuestion(const QString &job);

}  // namespace kivo::scenes
