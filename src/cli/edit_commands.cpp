// edit: the window's editing commands, run in order on a UserDatabase file.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/printing_user_interface.h"
#include "database/database_writer.h"
#include "database/file_io.h"
#include "database/windows1252.h"
#include "editing/editing_commands.h"
#include "editing/importing.h"
#include "levelfile/level_pack.h"

#include <optional>

namespace quillfen::cli {
namespace {

constexpr char kEditUsage[] =
    "edit FILE OUT COMMAND...\n"
    "  COMMAND: add-group NAME FOLDER | add-set GROUPKEY NAME | add-level SETKEY LEVELFILE |\n"
    "           delete KEY | up KEY | down KEY | folder KEY TEXT | file KEY TEXT |\n"
    "           rename KEY TEXT | import-pack SETKEY PACK [--sequel] FOLDER";

struct EditCommand {
    std::string_view name;
    std::size_t arguments;
};

constexpr EditCommand kEditCommands[] = {
    {"add-group", 2}, {"add-set", 2}, {"add-level", 2}, {"delete", 1}, {"up", 1},
    {"down", 1},      {"folder", 2},  {"file", 2},      {"rename", 2}, {"import-pack", 3},
};

// The commands with their arguments, or nullopt when the words do not make such a list.
std::optional<std::vector<Args>> parseCommands(const Args& words) {
    std::vector<Args> commands;
    for (std::size_t i = 0; i < words.size();) {
        const EditCommand* known = nullptr;
        for (const EditCommand& command : kEditCommands)
            if (command.name == words[i])
                known = &command;
        if (known == nullptr)
            return std::nullopt;
        std::size_t arguments = known->arguments;
        // import-pack's flag stands between the pack and the folder.
        if (known->name == "import-pack" && i + 3 < words.size() && words[i + 3] == "--sequel")
            ++arguments;
        if (i + arguments >= words.size())
            return std::nullopt;
        commands.emplace_back(words.begin() + static_cast<std::ptrdiff_t>(i),
                              words.begin() + static_cast<std::ptrdiff_t>(i + 1 + arguments));
        i += 1 + arguments;
    }
    return commands;
}

// Runs the commands on one loaded profile, answering as a user who says Yes to everything.
// A command that the core refuses has already said why; each step gives false then.
class Editor {
public:
    EditorState state;

    bool run(const Args& command) {
        const std::string& name = command[0];
        if (name == "add-group")
            return addGroupNamed(command[1], command[2]);
        const LevelTree::Node* node = select(command[1]);
        if (node == nullptr)
            return false;
        if (name == "add-set")
            return addSetNamed(command[2]);
        if (name == "add-level")
            return addLevel(command[2]);
        if (name == "import-pack")
            return importPackFile(command[2], command.size() == 5, command.back());
        if (name == "delete")
            return deleteNode(node);
        if (name == "up" || name == "down") {
            int row = node->row();
            name == "up" ? moveUp(state, ui_) : moveDown(state, ui_);
            return state.tree.find(command[1])->row() != row;
        }
        auto text = windows1252(command[2]);
        if (!text)
            return false;
        if (name == "rename")
            return renameNode(state, ui_, node, {*text, true});
        name == "folder" ? updateFolder(state, ui_, {*text, true})
                         : updateFileName(state, ui_, {*text, true});
        return true;
    }

private:
    PrintingUserInterface ui_;

    static std::optional<std::string> windows1252(const std::string& utf8Text) {
        auto text = utf8ToWindows1252(utf8Text);
        if (!text)
            refuse(kUnstorableText);
        return text;
    }

    // The node that KEY names becomes the selected node, as a click on it would make it.
    const LevelTree::Node* select(const std::string& key) {
        const LevelTree::Node* node = state.tree.find(key);
        if (node == nullptr) {
            refuse("WARNING: no node has the key '" + utf8ToWindows1252(key).value_or("?") + "'");
            return nullptr;
        }
        state.tree.select(node);
        return node;
    }

    // The new node is the one the command added last; it is named as the window's user would
    // rename it in place.
    bool renameAdded(int countBefore, const std::string& name) {
        if (state.tree.count() == countBefore)
            return false;
        auto text = windows1252(name);
        return text && renameNode(state, ui_, state.tree.item(state.tree.count()), {*text, true});
    }

    bool addGroupNamed(const std::string& name, const std::string& folder) {
        auto folderText = windows1252(folder);
        if (!folderText)
            return false;
        ui_.inputs = {{*folderText, true}};
        int before = state.tree.count();
        addGroup(state, ui_);
        return renameAdded(before, name);
    }

    bool addSetNamed(const std::string& name) {
        int before = state.tree.count();
        addSet(state, ui_);
        return renameAdded(before, name);
    }

    // One level from a file given by its path: the folder list shows its folder, and the file
    // is the one entry selected and clicked.
    bool addLevel(const std::string& path) {
        auto slash = path.find_last_of('/');
        auto file = windows1252(slash == std::string::npos ? path : path.substr(slash + 1));
        if (!file)
            return false;
        LevelFileList list{folderOf(path), {*file}, {true}, 0};
        int before = state.tree.count();
        addSelectedLevels(state, ui_, list);
        return state.tree.count() != before;
    }

    // Import Level Pack into the selected set: the report is shown, and the user imports.
    bool importPackFile(const std::string& pack, bool sequel, const std::string& folder) {
        auto plan = levelfile::planImport(pack, sequel, folder);
        if (!plan) {
            refuse(plan.error());
            return false;
        }
        ui_.message(levelfile::importReport(*plan));
        return importPack(state, ui_, *plan);
    }

    bool deleteNode(const LevelTree::Node* node) {
        std::string key = node->key();
        switch (node->kind()) {
        case NodeKind::Group:
            deleteGroup(state, ui_);
            break;
        case NodeKind::Set:
            deleteSet(state, ui_);
            break;
        case NodeKind::Level:
            deleteLevel(state, ui_);
            break;
        }
        return state.tree.find(key) == nullptr;
    }
};

} // namespace

int editCommand(const Args& args) {
    auto commands =
        args.size() < 3 ? std::nullopt : parseCommands(Args(args.begin() + 2, args.end()));
    if (!commands)
        return usage(kEditUsage);
    Editor editor;
    if (auto loaded = loadFile(editor.state, args[0]); !loaded)
        return refuse(loaded.error());
    for (const Args& command : *commands) {
        if (!editor.run(command))
            return kRefused;
    }
    if (auto written = writeFileAtomically(args[1], encodeDatabase(editor.state.tree)); !written)
        return refuse("ERROR: could not write " + args[1] + ": " + written.error());
    return kDone;
}

} // namespace quillfen::cli
