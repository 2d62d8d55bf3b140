#pragma once

#include <QString>

// The file-type filters of the player's file dialogs, in the dialogs' "text|patterns|" form.
namespace kivo::player {

// Every media kind the player opens; without mediaOnly also scene files. Besides the classic
// kinds the "all media" entry names the containers of today's files (MP4, Matroska, WebM, ...).
QString mediaFilter(bool mediaOnly = false);
// Scene files: for saving (with "all files") and for choosing one to re-target.
QString sceneSaveFilter();
QString sceneOpenFilter();

}  // namespace kivo::player
