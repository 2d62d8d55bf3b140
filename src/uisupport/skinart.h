#pragma once

#include <QImage>

// The built-in art of the skin, drawn pixel-exact (no anti-aliasing, so that no colour bleeds
// into the transparent key) in a dark player style: graphite bodies, a cool grey for lines and
// an amber accent for what is selected or chosen.
namespace kivo::skin::art {

QImage sceneCell(bool selected);
QImage expandButton(bool expanded);
QImage stripCell(bool chosen);
QImage timeDigits();
QImage sliderChannel(int width, int height);
QImage sliderThumb(int width, int height);
QImage sliderFill(int width, int height);

// Icons are drawn with an alpha channel at the requested edge length.
QImage segmentationIcon(int size);
QImage openVideoIcon(int size);
QImage saveScvIcon(int size);
// The list pages: the finder tree's root, video, audio, extension and file, and the finder's
// browse, search and stop buttons. The playlist shows its kinds with the video and audio icons.
QImage mediaFilesIcon(int size);
QImage videoIcon(int size);
QImage audioIcon(int size);
QImage extensionIcon(int size);
QImage mediaFileIcon(int size);
QImage browseFolderIcon(int size);
QImage searchIcon(int size);
QImage stopSearchIcon(int size);

}  // namespace kivo::skin::art
