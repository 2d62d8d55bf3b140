#include "player/transport/optionmenustate.h"

#include "player/transport/playercommands.h"

namespace kivo::player {

MenuItemState CMenuState::item(int commandId) const {
    const auto found = m_items.find(commandId);
    return found != m_items.end() ? found->second : MenuItemState{};
}

bool CMenuState::isSubMenuEnabled(int position) const {
    return !m_disabledSubMenus.contains(position);
}

QString CMenuState::text(int commandId) const {
    const auto found = m_texts.find(commandId);
    return found != m_texts.end() ? found->second : QString();
}

CMenuState optionMenuState(const OptionMenuInput &input) {
    CMenuState state;
    // Saving needs an open file with a scene description.
    const bool canSave = input.fileOpen && input.hasDescription;
    state.setItem(kSaveDescription, {canSave, false});
    state.setItem(kSaveDescriptionAs, {canSave, false});
    // A media file is assigned to the open scene file, or to one chosen when nothing is open.
    state.setItem(kAssignMediaFile, {!input.fileOpen || input.openedFromScv, false});
    // A caption file and the caption conversion apply only while nothing is open.
    state.setItem(kAssignCaptionFile, {!input.fileOpen, false});
    state.setItem(kConvertSamiToScv, {!input.fileOpen, false});
    // The basic tree is built from the grabber into the scene description.
    state.setItem(kBasicTree, {canSave && input.grabberOpen, false});
    // The play mode shows with a file open; repeat play needs repeat sections. Without a file
    // the whole play-mode sub-menu is greyed.
    if (input.fileOpen) {
        state.setItem(kNormalPlayMode, {true, !input.repeatPlayMode});
        state.setItem(kRepeatPlayMode, {input.hasRepeatSections, input.repeatPlayMode});
    } else {
        state.disableSubMenu(kPlayModeSubMenuPosition);
    }
    // Switches are checked while on; the screen-saver item while the screen saver is kept off.
    state.setItem(kTopMost, {true, input.topMost});
    state.setItem(kSeparateMode, {true, input.separateMode});
    state.setItem(kMultiPlayerMode, {true, input.multiPlayerMode});
    state.setItem(kScreenSaverOff, {true, !input.screenSaverAllowed});
    return state;
}

}  // namespace kivo::player
