#include "window/form1_layout.h"

namespace kesp::form1 {
namespace {

constexpr MenuEntry kFichier[] = {
    {Command::OuvrirImage, "ouvrirImage", "&Ouvrir une image disque…", {true, 'O'}},
    {std::nullopt, "sepImage", "", {}},
    {Command::Enregistrer, "Enregistrer", "En&registrer sous", {true, 'R'}},
    {Command::Imprimer, "Imprimer", "&Imprimer", {true, 'I'}},
    {std::nullopt, "sep", "", {}},
    {Command::Quitter, "quitter", "&Quitter", {}},
};
constexpr MenuEntry kOptions[] = {
    {Command::Optimiser, "optimiser", "&Optimisation des Clusters FAT ou FAT32", {}},
    {Command::PlanFormatage, "planFormatage", "&Plan de formatage…", {}},
};
constexpr MenuEntry kQuoi[] = {
    {Command::Aide, "aide", "&Aide", {false, 0, 1}},
    {std::nullopt, "sep2", "", {}},
    {Command::Apropos, "Apropo", "A &propos de KESP ...", {}},
};
constexpr Menu kMenuBar[] = {
    {"Fichier", "&Fichier", kFichier},
    {"options", "O&ptions", kOptions},
    {"quoi", "&?", kQuoi},
};

} // namespace

const std::span<const Menu> kMenus = kMenuBar;

const ControlLayout& layoutOf(Control control) {
    for (const ControlLayout& layout : kControls)
        if (layout.control == control) return layout;
    return kControls[0];
}

std::optional<Command> commandOfKey(std::string_view key) {
    if (key.empty()) return std::nullopt;
    for (const ToolButton& button : kToolButtons)
        if (button.command && key == button.key) return button.command;
    return std::nullopt;
}

const ToolButton* toolButtonAt(int position) {
    if (position < 1) return nullptr;
    for (const ToolButton& button : kToolButtons)
        if (button.position == position) return &button;
    return nullptr;
}

const ToolButton* toolButtonOf(Command command) {
    for (const ToolButton& button : kToolButtons)
        if (button.command == command) return &button;
    return nullptr;
}

std::string shortcutText(const Shortcut& shortcut) {
    if (shortcut.function != 0) return "F" + std::to_string(shortcut.function);
    if (shortcut.letter == 0) return {};
    return std::string(shortcut.control ? "Ctrl+" : "") + shortcut.letter;
}

} // namespace kesp::form1
