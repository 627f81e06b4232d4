#include "editor/window_menus.h"

#include <cctype>

namespace quillfen::window {

std::string withMnemonic(const char* text, char mnemonic) {
    std::string marked;
    bool placed = false;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '&')
            marked += '&';
        else if (!placed && std::tolower(static_cast<unsigned char>(*c)) ==
                                std::tolower(static_cast<unsigned char>(mnemonic))) {
            marked += '&';
            placed = true;
        }
        marked += *c;
    }
    return marked;
}

std::string shortcutText(Shortcut shortcut) {
    static constexpr const char* kKeyNames[] = {"",   "S",    "Q",  "Z",  "Y", "Del",
                                                "Up", "Down", "F1", "F2", "F5"};
    if (shortcut.key == Key::None)
        return {};
    std::string text = shortcut.ctrl ? "Ctrl+" : "";
    if (shortcut.alt)
        text += "Alt+";
    return text + kKeyNames[static_cast<int>(shortcut.key)];
}

const MenuItem& menuItem(Command command) {
    for (const Menu& menu : kMenus)
        for (const MenuItem& item : menu.items)
            if (item.command == command)
                return item;
    return kFileItems[0]; // every command has its item; not reached
}

const MenuItem* menuItemNamed(const std::string& name) {
    for (const Menu& menu : kMenus)
        for (const MenuItem& item : menu.items)
            if (name == item.name)
                return &item;
    return nullptr;
}

std::vector<Command> contextCommands(const LevelTree::Node* node) {
    if (node == nullptr)
        return {Command::AddGroup};
    switch (node->kind()) {
    case NodeKind::Group:
        return {Command::AddSet, Command::ImportPack, Command::AddGroup,
                Command::Rename, Command::Delete,     Command::Properties};
    case NodeKind::Set:
        return {Command::AddLevels, Command::AddSet, Command::Rename, Command::Delete,
                Command::Properties};
    case NodeKind::Level:
        return {Command::Preview, Command::MoveUp, Command::MoveDown,
                Command::Rename,  Command::Delete, Command::Properties};
    }
    return {};
}

} // namespace quillfen::window
