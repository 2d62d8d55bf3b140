#include "uisupport/skin.h"

#include <QFile>
#include <QHash>

#include "uisupport/frameart.h"
#include "uisupport/panelart.h"
#include "uisupport/skinart.h"
#include "uisupport/videoframeart.h"

namespace kivo::skin {
namespace {

QImage panelButtonBitmap(int id) {
    const int index = id - kPanelButtons;
    if (index < 0 || index >= panel::kButtonCount * panel::kLookCount) {
        return {};
    }
    return panel::button(static_cast<panel::Button>(index / panel::kLookCount),
                         static_cast<panel::Look>(index % panel::kLookCount));
}

QImage videoButtonBitmap(int id) {
    const int index = id - kVideoButtons;
    if (index < 0 || index >= videoframe::kButtonCount * panel::kLookCount) {
        return {};
    }
    return videoframe::button(static_cast<videoframe::Button>(index / panel::kLookCount),
                              static_cast<panel::Look>(index % panel::kLookCount));
}

QImage titleButtonBitmap(int id) {
    using frame::Look;
    using frame::TitleButton;
    switch (id) {
        case kCloseButton:
            return frame::titleButton(TitleButton::kClose, frame::kNormal);
        case kCloseButtonHover:
            return frame::titleButton(TitleButton::kClose, frame::kHover);
        case kPreviousPageNormal:
            return frame::titleButton(TitleButton::kPreviousPage, frame::kNormal);
        case kPreviousPageHover:
            return frame::titleButton(TitleButton::kPreviousPage, frame::kHover);
        case kPreviousPagePressed:
            return frame::titleButton(TitleButton::kPreviousPage, frame::kPressed);
        case kPreviousPageDisabled:
            return frame::titleButton(TitleButton::kPreviousPage, frame::kDisabled);
        default:
            break;
    }
    const int look = id - kNextPageButton;
    if (look >= frame::kNormal && look <= frame::kDisabled) {
        return frame::titleButton(TitleButton::kNextPage, static_cast<Look>(look));
    }
    return {};
}

QImage builtInBitmap(int id) {
    switch (id) {
        case kSelectedCell:
            return art::sceneCell(true);
        case kNormalCell:
            return art::sceneCell(false);
        case kCollapsedButton:
            return art::expandButton(false);
        case kExpandedButton:
            return art::expandButton(true);
        case kPlayerExpandedButton:
            return art::expandButton(true);
        case kPlayerCollapsedButton:
            return art::expandButton(false);
        case kChosenStripCell:
            return art::stripCell(true);
        case kStripCell:
            return art::stripCell(false);
        case kTimeDigits:
            return art::timeDigits();
        case kVolumeChannel:
            return art::sliderChannel(64, 9);
        case kVolumeThumb:
            return art::sliderThumb(7, 9);
        case kVolumeFill:
            return art::sliderFill(64, 9);
        case kPositionChannel:
            return art::sliderChannel(181, 12);
        case kPositionThumb:
            return art::sliderThumb(9, 12);
        case kPositionFill:
            return art::sliderFill(181, 12);
        case kPanelBackground:
            return panel::background();
        case kFileInfoBackground:
            return panel::textLineBackground(panel::kFileInfoLine.width(),
                                             panel::kFileInfoLine.height());
        case kPlayStateBackground:
            return panel::textLineBackground(panel::kPlayStateLine.width(),
                                             panel::kPlayStateLine.height());
        case kVideoTopBar:
            return videoframe::topBar();
        case kVideoBottomBar:
            return videoframe::bottomBar();
        case kVideoLeftBar:
            return videoframe::leftBar();
        case kVideoRightBar:
            return videoframe::rightBar();
        default:
            break;
    }
    if (id >= kVideoButtons) {
        return videoButtonBitmap(id);
    }
    const QImage titleButton = titleButtonBitmap(id);
    return titleButton.isNull() ? panelButtonBitmap(id) : titleButton;
}

QImage builtInIcon(int id, int size) {
    switch (id) {
        case kSegmentationIcon:
            return art::segmentationIcon(size);
        case kOpenVideoIcon:
            return art::openVideoIcon(size);
        case kSaveScvIcon:
            return art::saveScvIcon(size);
        case kMediaFilesIcon:
            return art::mediaFilesIcon(size);
        case kVideoIcon:
            return art::videoIcon(size);
        case kAudioIcon:
            return art::audioIcon(size);
        case kExtensionIcon:
            return art::extensionIcon(size);
        case kMediaFileIcon:
            return art::mediaFileIcon(size);
        case kStopSearchIcon:
            return art::stopSearchIcon(size);
        case kSearchIcon:
            return art::searchIcon(size);
        case kBrowseFolderIcon:
            return art::browseFolderIcon(size);
        default:
            return {};
    }
}

QString overridePath(int id) {
    return QStringLiteral(":/skin/%1.png").arg(id);
}

}  // namespace

QImage bitmap(int id) {
    // Bitmaps are asked for by every control that is created; the art is drawn once.
    static QHash<int, QImage> drawn;
    const auto found = drawn.constFind(id);
    if (found != drawn.constEnd()) {
        return *found;
    }
    QImage image;
    if (QFile::exists(overridePath(id))) {
        image.load(overridePath(id));
        image = image.convertToFormat(QImage::Format_RGB32);
    }
    if (image.isNull()) {
        image = builtInBitmap(id);
    }
    if (!image.isNull()) {
        drawn.insert(id, image);
    }
    return image;
}

QImage transparentImage(const QImage &image, QRgb transparent) {
    if (image.isNull()) {
        return {};
    }
    QImage keyed = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = transparent | 0xFF000000u;
    for (int y = 0; y < keyed.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if ((row[x] | 0xFF000000u) == key) {
                row[x] = 0;
            }
        }
    }
    return keyed;
}

QPixmap transparentPixmap(const QImage &image, QRgb transparent) {
    const QImage keyed = transparentImage(image, transparent);
    return keyed.isNull() ? QPixmap() : QPixmap::fromImage(keyed);
}

QPixmap keyedPixmap(int id) {
    return transparentPixmap(bitmap(id), kTransparentColor);
}

QIcon icon(int id) {
    // Lists show an icon in every row: each is drawn once (copies of a QIcon share it).
    static QHash<int, QIcon> drawn;
    if (const auto found = drawn.constFind(id); found != drawn.constEnd()) {
        return *found;
    }
    QIcon result;
    if (QFile::exists(overridePath(id))) {
        result.addFile(overridePath(id));
    } else {
        for (int size : {16, 24, 32, 48}) {
            const QImage image = builtInIcon(id, size);
            if (image.isNull()) {
                return {};
            }
            result.addPixmap(QPixmap::fromImage(image));
        }
    }
    drawn.insert(id, result);
    return result;
}

QCursor cursor(int id, bool *found) {
    const bool known = id == kHandCursor;
    if (found) {
        *found = known;
    }
    return known ? QCursor(Qt::PointingHandCursor) : QCursor(Qt::ArrowCursor);
}

}  // namespace kivo::skin
