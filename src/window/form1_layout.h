#pragma once
// Form1 described once, for every toolkit's window: the controls' places, captions, tips and
// fonts, the status bar's panels, the tool bar's buttons, the menus with their mnemonics and
// shortcuts, and the commands they run. The Qt and the Win32 window build their controls from
// these tables and hand every command to Form1Controller::run.
//
// Places are in pixels at 15 twips to the pixel; y counts from the top of the client area, tool
// bar included.
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "scan/result_lines.h"

namespace kesp::form1 {

// What the tool bar and the menus run. The order is the Win32 window's command numbers.
enum class Command {
    OuvrirImage,
    Enregistrer,
    Imprimer,
    Quitter,
    Optimiser,
    PlanFormatage,
    Aide,
    Apropos,
};
inline constexpr int kCommandCount = 8;

inline constexpr int kClientWidth = 794;
inline constexpr int kClientHeight = 547;
inline constexpr int kToolBarHeight = 26;
inline constexpr int kStatusBarHeight = 33;
inline constexpr int kToolButtonWidth = 23;
inline constexpr int kToolButtonHeight = 22;

struct Place {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// "MS Sans Serif 8.25" bold or plain, "Fixedsys 9"; each window takes its system's nearest.
enum class Font { SansBold, Sans, Fixed };

enum class Control { Dir1, Drive1, sldFreq, Label1, OK, SousRep, List1, List3 };

struct ControlLayout {
    Control control;
    const char* name;
    Place place;
    Font font;
    const char* caption; // the text it starts with; empty when it shows none
    const char* tip;     // empty: none
};

// In the order they are made, which is also their stacking order: List3 overlaps List1 by one
// pixel and reaches under the status bar.
inline constexpr ControlLayout kControls[] = {
    {Control::Dir1, "Dir1", {0, 32, 473, 66}, Font::SansBold, "", ""},
    {Control::Drive1, "Drive1", {480, 32, 309, 21}, Font::SansBold, "", ""},
    {Control::sldFreq, "sldFreq", {480, 58, 145, 19}, Font::Sans, "", "Raffraichissement"},
    // 78 wide where the form had 66: "10 secondes" in the bold sans-serif needs 78, and the
    // label then still ends before OK.
    {Control::Label1, "Label1", {632, 64, 78, 13}, Font::SansBold, "2 secondes", ""},
    {Control::OK, "OK", {712, 64, 73, 25}, Font::SansBold, kCaptionStart.data(), ""},
    {Control::SousRep, "SousRep", {488, 80, 177, 17}, Font::SansBold, "Sous-Répertoires", ""},
    {Control::List1, "List1", {0, 104, 793, 233}, Font::Fixed, "", ""},
    {Control::List3, "List3", {0, 336, 793, 182}, Font::Fixed, "", ""},
};

// How far Drive1's list opens below it.
inline constexpr int kDrive1ListHeight = 200;

// The focus order; the status bar, the tool bar and the label take no focus.
inline constexpr Control kFocusOrder[] = {Control::List1,  Control::List3, Control::Dir1,
                                          Control::Drive1, Control::OK,    Control::SousRep,
                                          Control::sldFreq};

const ControlLayout& layoutOf(Control control);

// sldFreq: the refresh period in seconds.
inline constexpr int kSldFreqMinimum = 1;
inline constexpr int kSldFreqMaximum = 10;
inline constexpr int kSldFreqPageStep = 2;

enum class Align { Right, Centre };

// StatusBar1's seven panels, by position 1 to 7: the counters, the lost space, the cluster size
// and the FAT type, then the time and the date, which share the rest of the bar. The counters
// grow past their width with their text and the clock and the date give up that room first.
struct PanelLayout {
    const char* key;        // empty for the clock and the date
    const char* designText; // what the panel shows before the program writes to it
    Align align;
    int width;
    bool fixedWidth; // else a minimum
    bool sharesRest; // the time and the date
};
inline constexpr PanelLayout kPanels[7] = {
    {"pnlRép", "1 252 Répertoires", Align::Right, 100, false, false},
    {"pnlFic", "999 999 Fichiers", Align::Right, 100, false, false},
    {"pnlPerdu", "999,9 Mo perdus", Align::Right, 100, false, false},
    {"pnlCluster", "1 cluster = 32 768 octets", Align::Centre, 133, false, false},
    {"pnlFat", "Fat", Align::Centre, 60, true, false},
    {"", "", Align::Centre, 47, false, true},
    {"", "", Align::Centre, 67, false, true},
};

// The tool bar's pictures: a floppy disk, a printer, a spanner, a sheet with rows, a question
// mark, the program's icon.
enum class ToolImage { Floppy, Printer, Spanner, Plan, Question, Program };

struct ToolButton {
    std::optional<Command> command; // none: a separator
    const char* key;                // Toolbar1_ButtonClick's key
    ToolImage image;
    const char* text;
    const char* tip;
    int position; // 1 to 7, as the run enables them; 0: the plan's, which has none
};
// In their order on screen.
inline constexpr ToolButton kToolButtons[] = {
    {Command::Enregistrer, "Enregistrer", ToolImage::Floppy, "Enregistrer",
     "Enregistrer la liste de fichiers", 1},
    {Command::Imprimer, "Imprimer", ToolImage::Printer, "Imprimer", "Imprimer la liste de fichiers",
     2},
    {std::nullopt, "", ToolImage::Floppy, "", "", 3},
    {Command::Optimiser, "Optimiser", ToolImage::Spanner, "Optimiser",
     "Optimisation des Clusters FAT ou FAT32", 4},
    {Command::PlanFormatage, "PlanFormatage", ToolImage::Plan, "Plan de formatage",
     "Plan de formatage : toutes les dispositions FAT", 0},
    {std::nullopt, "", ToolImage::Floppy, "", "", 5},
    {Command::Aide, "Aide", ToolImage::Question, "Aide", "Un peu d'aide ?", 6},
    {Command::Apropos, "propos", ToolImage::Program, "A propos de ...", "A propos ...", 7},
};

// The command of a tool-bar key, compared whole and with case; none for a separator's empty key
// or an unknown one.
std::optional<Command> commandOfKey(std::string_view key);
// The button at `position` (1 to 7), separators included; nullptr outside.
const ToolButton* toolButtonAt(int position);
// The tool-bar button that runs `command`; nullptr when none does.
const ToolButton* toolButtonOf(Command command);

// Ctrl and a letter, or a function key.
struct Shortcut {
    bool control = false;
    char letter = 0;  // 'A' to 'Z'
    int function = 0; // 1 to 12
    bool any() const { return letter != 0 || function != 0; }
};
// "Ctrl+O", "F1"; empty without a shortcut.
std::string shortcutText(const Shortcut& shortcut);

struct MenuEntry {
    std::optional<Command> command; // none: a separator
    const char* name;
    const char* caption; // "&" before the mnemonic
    Shortcut shortcut;
};

struct Menu {
    const char* name;
    const char* caption;
    std::span<const MenuEntry> entries;
};

extern const std::span<const Menu> kMenus;

} // namespace kesp::form1
