// The video window's commands: its buttons, its context menu "뷰" and the items it runs itself
// (size rates, screen modes, scaling, frame export, image effects); the control panel runs the
// rest.
#include <QColorDialog>
#include <QFontDialog>
#include <QMenu>

#include "media/grabber/videomanager.h"
#include "media/playback/playbackwnd.h"
#include "player/captions/window/captionboxtext.h"
#include "player/captions/window/captionboxwnd.h"
#include "player/shell/playersettings.h"
#include "player/transport/playercommands.h"
#include "player/transport/playercontrol.h"
#include "player/transport/playermenus.h"
#include "player/transport/playersession.h"
#include "player/transport/playertransport.h"
#include "player/transport/videocommands.h"
#include "player/transport/window/imagesizedlg.h"
#include "player/transport/window/playermenubuilder.h"
#include "player/transport/window/videownd.h"
#include "scene/videodescription.h"
#include "scenecontrols/frameimagesaver.h"
#include "uisupport/asker.h"

using namespace kivo::player;

int CVideoWnd::runCommand(int id) {
    if (const std::optional<double> rate = sizeRateOfCommand(id)) {
        return setSizeRate(*rate);
    }
    if (const std::optional<int> mode = effectModeOfCommand(id)) {
        return m_engine->setEffectMode(*mode);
    }
    IPlayerControl *control = m_session.control();
    switch (id) {
        case kVideoHideButton:
            hideByUser();
            return 1;
        case kVideoMaximiseButton:
            maximise();
            return 1;
        case kVideoRestoreButton:
            restore();
            return 1;
        case kVideoCloseButton:
            return closeButton();
        case kVideoInfoButton:
            return toggleContainer(m_left, m_settings.infoWidth, true);
        case kVideoInfo2Button:
            return sceneContainerButton();
        case kViewFullScreen:
            return toggleEngineFullScreen();
        case kViewFullVideo:
            return toggleFullVideo();
        case kViewFreeSize:
        case kViewAutoScale:
            if (!hasVideo() || m_engine->isFullScreen()) {
                return 0;
            }
            setAutoScale(id == kViewAutoScale);
            return 1;
        case kViewSaveNativeSize:
        case kViewSaveCurrentSize:
        case kViewSaveChosenSize:
            return exportFrame(id);
        case kViewEffectsWanted:
            return toggleEffectsWanted();
        case kViewShowCaption:
            return toggleCaption();
        case kViewDetachCaptionBox:
            return toggleCaptionDetached();
        case kKeyCaptionBoxTaller:
        case kKeyCaptionBoxShorter:
            return changeCaptionStripHeight(id == kKeyCaptionBoxTaller ? 10 : -10);
        case kViewCaptionBackground:
            return chooseCaptionBackground();
        case kViewCaptionFont:
            return chooseCaptionFont();
        case kViewOriginalFont:
            m_captionBox->setOriginalFont(!m_settings.originalFont);
            return 1;
        case kViewNormalPlayMode:
            return control ? control->runCommand(kNormalPlayMode) : 0;
        case kViewRepeatPlayMode:
            return control ? control->runCommand(kRepeatPlayMode) : 0;
        case kViewAbout:
            return control ? control->runCommand(kAbout) : 0;
        case kViewHelp:
            return control ? control->runCommand(kHelp) : 0;
        default:
            return control ? control->runCommand(id) : 0;
    }
}

VideoMenuInput CVideoWnd::menuInput() const {
    VideoMenuInput input;
    const CVideoDescription *description = m_session.description();
    input.fileOpen = m_transport.isFileOpen();
    input.hasVideo = m_engine->hasVideo();
    input.sceneNavigation = m_session.grabber().isOpen();
    input.repeatPlayMode = m_transport.isRepeatMode();
    input.hasRepeatSections = description && !description->repeatSections().empty();
    input.engineFullScreen = m_engine->isFullScreen();
    input.fullVideo = isFullVideo();
    input.soundOn = m_transport.isSoundOn();
    input.autoScale = m_settings.autoScale;
    input.showCaption = m_settings.showCaption;
    input.captionBoxDetached = m_settings.detachCaptionBox;
    input.originalFont = m_settings.originalFont;
    input.topMost = m_settings.topMost;
    input.controlPanelVisible = controlPanel() && controlPanel()->isVisible();
    input.effectsWanted = m_engine->effectsEnabled();
    input.effectsFilter = m_engine->hasEffectsFilter();
    return input;
}

void CVideoWnd::showContextMenu(const QPoint &globalPosition) {
    const std::unique_ptr<QMenu> menu =
        buildPlayerMenu(*playerMenu(kViewMenu), videoMenuState(menuInput()), this);
    if (const QAction *chosen = menu->exec(globalPosition); chosen && chosen->data().isValid()) {
        runCommand(chosen->data().toInt());
    }
}

int CVideoWnd::exportFrame(int commandId) {
    if (!m_session.grabber().isOpen()) {
        return 0;
    }
    // The frame under the position now, before a dialog lets the picture move on.
    const double frame = m_session.frameAt(m_engine->currentPosition());
    QSize target = m_engine->nativeVideoSize();
    if (commandId == kViewSaveCurrentSize) {
        target = video::currentExportSize(size());
    } else if (commandId == kViewSaveChosenSize) {
        CImageSizeDlg dialog(this);
        if (dialog.exec() != QDialog::Accepted) {
            return 0;
        }
        target = dialog.chosenSize();
    }
    if (!kivo::scenes::saveFrameImage(this, &m_session.grabber(), frame, target)) {
        return 0;
    }
    kivo::ui::notice(this, QStringLiteral("이미지가 저장되었습니다."));
    return 1;
}

int CVideoWnd::toggleEffectsWanted() {
    m_engine->setEffectsEnabled(!m_engine->effectsEnabled());
    if (m_transport.isFileOpen()) {
        kivo::ui::notice(this, QStringLiteral("효과는 다음에 파일을 열었을 때부터 적용됩니다."));
    }
    return 1;
}

namespace {

QColor colourOf(int colourRef) {
    return QColor(colourRef & 0xFF, (colourRef >> 8) & 0xFF, (colourRef >> 16) & 0xFF);
}

int colourRefOf(const QColor &colour) {
    return colour.red() | colour.green() << 8 | colour.blue() << 16;
}

}  // namespace

int CVideoWnd::chooseCaptionBackground() {
    const QColor chosen = QColorDialog::getColor(colourOf(m_settings.captionBackground), this);
    if (!chosen.isValid()) {
        return 0;
    }
    m_captionBox->setBackgroundColour(colourRefOf(chosen));
    return 1;
}

int CVideoWnd::chooseCaptionFont() {
    // The stored height is in pixels; the dialog speaks points.
    const double dpi = logicalDpiY();
    CLogFont stored = m_settings.captionFont;
    QFont font(stored.faceName);
    font.setPointSizeF(std::max(1.0, kivo::captions::pointsOfPixels(stored.height, dpi)));
    font.setBold(stored.weight >= 700);
    font.setItalic(stored.italic);
    font.setUnderline(stored.underline);
    font.setStrikeOut(stored.strikeOut);
    bool accepted = false;
    const QFont chosen = QFontDialog::getFont(&accepted, font, this);
    if (!accepted) {
        return 0;
    }
    stored.faceName = chosen.family();
    stored.height = kivo::captions::pixelsOfPoints(chosen.pointSizeF(), dpi);
    stored.weight = chosen.bold() ? 700 : 400;
    stored.italic = chosen.italic();
    stored.underline = chosen.underline();
    stored.strikeOut = chosen.strikeOut();
    m_captionBox->setCaptionFont(stored);
    // The font dialog has no colour of its own: the text colour is asked right after it.
    const QColor colour = QColorDialog::getColor(colourOf(m_settings.captionText), this,
                                                 QStringLiteral("자막 글자색"));
    if (colour.isValid()) {
        m_captionBox->setTextColour(colourRefOf(colour));
    }
    return 1;
}
