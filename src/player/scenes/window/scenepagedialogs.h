#pragma once

#include <QString>

class CPlayerSession;
class QWidget;

// The questions and notices the scene pages share.
namespace kivo::scenes {

// A Yes/No question; true for Yes.
bool askYes(QWidget *parent, const QString &question);
// A notice after a finished action ("이미지가 저장되었습니다.").
void notice(QWidget *parent, const QString &text);
// Re-extracting thumbnails while the video plays can make it stutter: while the player plays,
// asks (the job's name, e.g. "트리 확대") whether to stop it, and stops it on Yes.
void offerToStopPlayback(QWidget *parent, CPlayerSession &session, const QString &job);

}  // namespace kivo::scenes
