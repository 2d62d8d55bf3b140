#include <gtest/gtest.h>

#include "player/transport/optionmenustate.h"
#include "player/transport/playeraccelerators.h"
#include "player/transport/playercommands.h"
#include "player/transport/playermenus.h"

#include <QSet>

namespace {

using namespace kivo::player;

// The command items of a menu, sub-menus included, in order.
QList<const MenuItem *> commandsOf(const std::vector<MenuItem> &items) {
    QList<const MenuItem *> commands;
    for (const MenuItem &item : items) {
        if (item.kind == MenuItem::kCommand) {
            commands << &item;
        }
        commands << commandsOf(item.items);
    }
    return commands;
}

QList<int> idsOf(int menuId) {
    QList<int> ids;
    for (const MenuItem *item : commandsOf(playerMenu(menuId)->items)) {
        ids << item->id;
    }
    return ids;
}

QString textOf(int menuId, int commandId) {
    for (const MenuItem *item : commandsOf(playerMenu(menuId)->items)) {
        if (item->id == commandId) {
            return item->text;
        }
    }
    return {};
}

// Ids in order, "-" for separators, "[...]" around sub-menus.
QString layoutOf(const std::vector<MenuItem> &items) {
    QStringList parts;
    for (const MenuItem &item : items) {
        if (item.kind == MenuItem::kSeparator) {
            parts << QStringLiteral("-");
        } else if (item.kind == MenuItem::kSubMenu) {
            parts << u'[' + layoutOf(item.items) + u']';
        } else {
            parts << QString::number(item.id);
        }
    }
    return parts.join(u' ');
}

TEST(PlayerMenus, TextsKeepMnemonicsAndTheirShortcutColumn) {
    EXPECT_EQ(textOf(kOptionMenu, kNormalPlayMode), QString::fromUtf8("정상 재생\tF9"));
    // The save item spaces its shortcut out instead of using a tab.
    EXPECT_EQ(textOf(kOptionMenu, kSaveDescription), QString::fromUtf8("SCV 파일 저장   Ctrl + S"));
    EXPECT_EQ(textOf(kOptionMenu, kAbout), QString::fromUtf8("KIVO Player 정보(&A)..."));
    EXPECT_EQ(textOf(kShortcutMenu, kKeyStopAndHide),
              QString::fromUtf8("멈춤, 숨기기\tPause/Break"));
    EXPECT_EQ(textOf(kShortcutMenu, kKeyCaptionBoxTaller),
              QString::fromUtf8("캡션창 크게\tCtrl + Alt + 위쪽 화살표"));
}

TEST(PlayerMenus, OptionMenuOrderSeparatorsAndPlayModeSubMenu) {
    const PlayerMenu &menu = *playerMenu(kOptionMenu);
    EXPECT_EQ(layoutOf(menu.items),
              "32809 32804 - [32815 32816] - 32842 32905 - 32803 32903 - 32805 32859 32851 - "
              "32922 32925 - 32941 - 32972 - 32923 32806 32843");
    const MenuItem &playMode = menu.items.at(kPlayModeSubMenuPosition);
    EXPECT_EQ(playMode.kind, MenuItem::kSubMenu);
    EXPECT_EQ(playMode.text, QString::fromUtf8("재생 모드(&D)"));
    for (int id : idsOf(kOptionMenu)) {
        EXPECT_NE(findPlayerCommand(id), nullptr) << id;
    }
}

TEST(RateChoices, LabelsRatesCommandsAndMenusAgree) {
    const auto choices = rateChoices();
    ASSERT_EQ(choices.size(), 13u);
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const RateChoice &choice = choices[i];
        EXPECT_EQ(choice.id, kRateForward0_2 + int(i));
        EXPECT_EQ(QString::number(choice.rate) + u'x', QLatin1String(choice.label));
        const PlayerCommand *command = findPlayerCommand(choice.id);
        ASSERT_NE(command, nullptr);
        EXPECT_EQ(command->action, PlayerAction::SetRate);
        EXPECT_EQ(command->rate, choice.rate);
        // ff's menu offers the forward rates, fr's the backward ones.
        const int menuId =
            rateMenuOfButton(choice.rate > 0 ? kFastForwardButton : kFastBackwardButton);
        EXPECT_EQ(textOf(menuId, choice.id), QLatin1String(choice.label));
    }
    EXPECT_EQ(idsOf(kForwardRateMenu).size() + idsOf(kBackwardRateMenu).size(), 13);
    EXPECT_EQ(rateMenuOfButton(kPlayButton), 0);
    EXPECT_EQ(findPlayerCommand(kKeySlowBackward)->rate, -0.5);
    EXPECT_EQ(findPlayerCommand(kKeySlowForward)->rate, 0.5);
}

// The key a shortcut column names ("Ctrl + Alt + 위쪽 화살표", "Page Down", "F10").
QKeyCombination keyOfLabel(const QString &column) {
    static const QHash<QString, Qt::Key> named = {
        {QString::fromUtf8("위쪽 화살표"), Qt::Key_Up},
        {QString::fromUtf8("아래쪽 화살표"), Qt::Key_Down},
        {QString::fromUtf8("왼쪽 화살표"), Qt::Key_Left},
        {QString::fromUtf8("오른쪽 화살표"), Qt::Key_Right},
        {"Enter", Qt::Key_Return},
        {"Home", Qt::Key_Home},
        {"End", Qt::Key_End},
        {"Page Down", Qt::Key_PageDown},
        {"Page Up", Qt::Key_PageUp},
        {"Pause/Break", Qt::Key_Pause},
    };
    Qt::KeyboardModifiers modifiers;
    Qt::Key key = Qt::Key_unknown;
    for (const QString &part : column.split(QStringLiteral(" + "))) {
        if (part == "Ctrl") {
            modifiers |= Qt::ControlModifier;
        } else if (part == "Alt") {
            modifiers |= Qt::AltModifier;
        } else if (part.size() == 1) {
            key = Qt::Key(Qt::Key_A + (part.at(0).unicode() - 'A'));
        } else if (part.startsWith(u'F')) {
            key = Qt::Key(Qt::Key_F1 + part.mid(1).toInt() - 1);
        } else {
            key = named.value(part, Qt::Key_unknown);
        }
    }
    return QKeyCombination(modifiers, key);
}

TEST(Accelerators, KeysAreDistinctAndRunCommands) {
    const auto accelerators = playerAccelerators();
    QSet<int> keys;
    for (const Accelerator &accelerator : accelerators) {
        EXPECT_FALSE(keys.contains(accelerator.key.toCombined())) << accelerator.command;
        keys.insert(accelerator.key.toCombined());
        EXPECT_NE(findPlayerCommand(accelerator.command), nullptr) << accelerator.command;
        EXPECT_EQ(acceleratorCommand(accelerator.key), accelerator.command);
    }
    // Keypad keys count as the main ones; modifiers must match exactly.
    EXPECT_EQ(acceleratorCommand(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Enter),
              kKeyFullVideo);
    EXPECT_EQ(acceleratorCommand(Qt::KeypadModifier | Qt::Key_PageDown), kKeyNextFile);
    EXPECT_EQ(acceleratorCommand(QKeyCombination(Qt::Key_Home)), 0);
    EXPECT_EQ(acceleratorCommand(Qt::ShiftModifier | Qt::Key_F2), 0);
}

// Every item of the shortcut menu is an accelerator, and its label names the key; Home and End
// are labelled without the Ctrl they need. Only F1 (help) is missing from the menu.
TEST(Accelerators, ShortcutMenuLabelsNameTheKeys) {
    const QList<int> ids = idsOf(kShortcutMenu);
    EXPECT_EQ(QSet<int>(ids.begin(), ids.end()).size() + 1, qsizetype(playerAccelerators().size()));
    for (int id : ids) {
        const auto accelerator = std::ranges::find(playerAccelerators(), id, &Accelerator::command);
        ASSERT_NE(accelerator, playerAccelerators().end()) << id;
        QKeyCombination labelled = keyOfLabel(textOf(kShortcutMenu, id).section(u'\t', 1));
        if (id == kKeyGoToStart || id == kKeyGoToEnd) {
            labelled = QKeyCombination(Qt::ControlModifier, labelled.key());
        }
        EXPECT_EQ(labelled, accelerator->key) << id;
    }
    EXPECT_EQ(acceleratorCommand(QKeyCombination(Qt::Key_F1)), kHelp);
}

// A gated key does what its button does, so that a disabled button also stops its key
// (Ctrl+Left does nothing while ssr is disabled; ssr's own click is not gated).
TEST(PlayerCommands, GatedKeysActLikeTheirButtons) {
    QList<int> gatedKeys;
    for (const PlayerCommand &command : playerCommands()) {
        if (command.gateButton == 0) {
            continue;
        }
        const PlayerCommand *button = findPlayerCommand(command.gateButton);
        ASSERT_NE(button, nullptr) << command.id;
        EXPECT_EQ(button->action, command.action) << command.id;
        EXPECT_EQ(button->gateButton, 0) << command.id;
        gatedKeys << command.id;
    }
    const QList<int> expected = {kKeyStepBack, kKeyStepForward,  kKeyPlay,       kKeyPause,
                                 kKeyStop,     kKeyFastBackward, kKeyFastForward};
    EXPECT_EQ(gatedKeys, expected);
    EXPECT_EQ(findPlayerCommand(1002), nullptr);
    EXPECT_EQ(findPlayerCommand(34000), nullptr);
}

// Each case names the greyed and the checked items; every other item of the menu must be
// enabled and unchecked.
struct MenuCase {
    const char *name;
    OptionMenuInput input;
    bool playModeEnabled;
    QList<int> greyed;
    QList<int> checked;
};

TEST(OptionMenuState, GreysAndChecksByThePlayerState) {
    OptionMenuInput media;
    media.fileOpen = true;
    OptionMenuInput scene = media;
    scene.openedFromScv = scene.hasDescription = scene.grabberOpen = true;
    scene.repeatPlayMode = scene.hasRepeatSections = true;
    OptionMenuInput noGrabber = scene;
    noGrabber.grabberOpen = false;
    OptionMenuInput nothingOpen;  // the play mode is not shown without a file
    nothingOpen.repeatPlayMode = true;
    OptionMenuInput switchesOn;
    switchesOn.topMost = switchesOn.separateMode = switchesOn.multiPlayerMode = true;
    switchesOn.screenSaverAllowed = false;
    const QList<int> fileless = {kAssignMediaFile, kAssignCaptionFile, kConvertSamiToScv};
    const QList<int> saving = {kSaveDescription, kSaveDescriptionAs, kBasicTree};

    const MenuCase cases[] = {
        {"nothing open", nothingOpen, false, saving, {}},
        {"media", media, true, saving + fileless + QList<int>{kRepeatPlayMode}, {kNormalPlayMode}},
        {"scene file", scene, true, {kAssignCaptionFile, kConvertSamiToScv}, {kRepeatPlayMode}},
        {"no grabber",
         noGrabber,
         true,
         {kBasicTree, kAssignCaptionFile, kConvertSamiToScv},
         {kRepeatPlayMode}},
        {"switches on",
         switchesOn,
         false,
         saving,
         {kTopMost, kSeparateMode, kMultiPlayerMode, kScreenSaverOff}},
    };
    for (const MenuCase &c : cases) {
        const CMenuState state = optionMenuState(c.input);
        EXPECT_EQ(state.isSubMenuEnabled(kPlayModeSubMenuPosition), c.playModeEnabled) << c.name;
        for (int id : idsOf(kOptionMenu)) {
            const MenuItemState expected{!c.greyed.contains(id), c.checked.contains(id)};
            const MenuItemState actual = state.item(id);
            EXPECT_EQ(actual, expected) << c.name << ": " << id << " enabled " << actual.enabled
                                        << " checked " << actual.checked;
        }
    }
}

}  // namespace
