#include "scenecontrols/frameimagesaver.h"

#include <QFileInfo>
#include <QString>

#include "media/grabber/videomanager.h"
#include "uisupport/asker.h"

namespace kivo::scenes {

int saveFrameImage(QWidget *parent, CVideoManager *video, double frame, QSize size) {
    if (!video) {
        return 0;
    }
    kivo::ui::CFileRequest request;
    request.filter = QString::fromUtf8(kImageFilter);
    request.defaultExtension = QStringLiteral(".jpg");
    const QString path = kivo::ui::saveFileName(parent, request);
    if (path.isEmpty()) {
        return 0;
    }
    std::unique_ptr<CDib> picture = video->pictureAt(frame);
    if (picture && size.isValid()) {
        picture = picture->resized(size.width(), size.height());
    }
    if (!picture) {
        kivo::ui::messageBox(parent, QString::fromUtf8(kGrabFailedText));
        return 0;
    }
    const QString extension = QLatin1Char('.') + QFileInfo(path).suffix().toUpper();
    const std::string file = path.toStdString();
    if (extension == QLatin1String(".BMP")) {
        return picture->saveAsBmp(file);
    }
    if (extension == QLatin1String(".JPG")) {
        return picture->saveAsJpeg(file, 1, 75);
    }
    kivo::ui::messageBox(parent, QString::fromUtf8(kUnsupportedTypeText));
    return 0;
}

}  // namespace kivo::scenes
