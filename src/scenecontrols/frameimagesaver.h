#pragma once

#include <QSize>

class CVideoManager;
class QWidget;

// Saving one frame of the video as a picture file, as both scene controls and the video window
// offer it: the user picks a name ending in .jpg (JPEG, quality 75) or .bmp, the frame is
// grabbed, scaled to the size asked for (kept at its own size without one) and written. 1 when the
// file was written; 0 when the user cancelled, the frame could not be grabbed or the type is not
// supported (each told to the user), or the writer failed (the writer tells why).
namespace kivo::scenes {

inline constexpr const char *kImageFilter = "Jpeg Files (*.JPG)|*.JPG;|BMP Files (*.BMP)|*.BMP;|";
inline constexpr const char *kGrabFailedText = "이미지를 가져오는 데 실패했습니다. 다시 시도하세요";
inline constexpr const char *kUnsupportedTypeText = "지원하지 않는 파일형식입니다.";

int saveFrameImage(QWidget *parent, CVideoManager *video, double frame, QSize size = {});

}  // namespace kivo::scenes
