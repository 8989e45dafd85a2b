// The window's description holds together: every command is reachable once from the menus, the
// tool bar's numbered positions run 1 to 7 in screen order, keys and shortcuts read as the
// windows show them, and every control lies inside the client area.
#include <gtest/gtest.h>

#include <set>

#include "window/form1_layout.h"

namespace kesp::form1 {
namespace {

TEST(Form1Layout, EachCommandOnceInTheMenusAndTheToolBarsInThem) {
    std::multiset<Command> inMenus;
    std::set<std::string> names;
    for (const Menu& menu : kMenus)
        for (const MenuEntry& entry : menu.entries) {
            EXPECT_TRUE(names.insert(entry.name).second) << entry.name;
            if (entry.command) inMenus.insert(*entry.command);
        }
    for (int c = 0; c < kCommandCount; ++c)
        EXPECT_EQ(inMenus.count(Command(c)), 1u) << c;
    for (const ToolButton& button : kToolButtons)
        if (button.command) {
            EXPECT_EQ(inMenus.count(*button.command), 1u) << button.key;
        }
}

TEST(Form1Layout, ToolBarPositionsInScreenOrderAndKeysWholeAndWithCase) {
    int expected = 1;
    for (const ToolButton& button : kToolButtons) {
        if (button.position == 0) {
            EXPECT_EQ(button.command, Command::PlanFormatage) << "only the plan has no position";
            continue;
        }
        EXPECT_EQ(button.position, expected++);
        EXPECT_EQ(toolButtonAt(button.position), &button);
    }
    EXPECT_EQ(expected, 8);
    EXPECT_EQ(toolButtonAt(0), nullptr);
    EXPECT_EQ(toolButtonAt(8), nullptr);
    EXPECT_FALSE(toolButtonAt(3)->command) << "a separator";

    EXPECT_EQ(commandOfKey("propos"), Command::Apropos);
    EXPECT_EQ(commandOfKey("PlanFormatage"), Command::PlanFormatage);
    for (const char* key : {"", "aide", "PROPOS", "Optimiser ", "Quitter"})
        EXPECT_EQ(commandOfKey(key), std::nullopt) << key;
    EXPECT_EQ(toolButtonOf(Command::Quitter), nullptr);
}

TEST(Form1Layout, ShortcutsAsTheMenusShowThem) {
    EXPECT_EQ(shortcutText({true, 'O'}), "Ctrl+O");
    EXPECT_EQ(shortcutText({false, 0, 1}), "F1");
    EXPECT_EQ(shortcutText({}), "");
    std::set<std::string> taken;
    for (const Menu& menu : kMenus)
        for (const MenuEntry& entry : menu.entries)
            if (entry.shortcut.any()) {
                EXPECT_TRUE(taken.insert(shortcutText(entry.shortcut)).second) << entry.name;
            }
    EXPECT_EQ(taken, (std::set<std::string>{"Ctrl+O", "Ctrl+R", "Ctrl+I", "F1"}));
}

TEST(Form1Layout, ControlsInsideTheClientAreaAndEachOnceInTheFocusOrder) {
    for (const ControlLayout& c : kControls) {
        EXPECT_GE(c.place.y, kToolBarHeight) << c.name;
        EXPECT_LE(c.place.x + c.place.width, kClientWidth) << c.name;
        // List3 alone slides under the status bar.
        EXPECT_LE(c.place.y + c.place.height,
                  kClientHeight - (c.control == Control::List3 ? 0 : kStatusBarHeight))
            << c.name;
        EXPECT_EQ(&layoutOf(c.control), &c);
    }
    std::set<Control> focus(std::begin(kFocusOrder), std::end(kFocusOrder));
    EXPECT_EQ(focus.size(), std::size(kFocusOrder));
    EXPECT_EQ(focus.count(Control::Label1), 0u);
    EXPECT_EQ(focus.size() + 1, std::size(kControls));
}

} // namespace
} // namespace kesp::form1
