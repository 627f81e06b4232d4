// edit and edit-profile: the window's editing commands, run in order on a UserDatabase file or
// on a profile.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/printing_user_interface.h"
#include "common/windows1252.h"
#include "editor/editor.h"
#include "host/host_path.h"

#include <algorithm>
#include <optional>

namespace quillfen::cli {
namespace {

struct EditCommand {
    std::string_view name;
    std::size_t arguments;
};

constexpr EditCommand kEditCommands[] = {
    {"add-group", 2}, {"add-set", 2}, {"add-level", 2}, {"delete", 1},
    {"up", 1},        {"down", 1},    {"folder", 2},    {"file", 2},
    {"rename", 2},    {"undo", 0},    {"redo", 0},      {"import-pack", 3},
};

// The commands with their arguments from `words` (FILE OUT COMMAND...), or nullopt when the
// words do not make such a list. The words from `plain` on came after "--" and are never
// options; before it, a word that begins with "--" is one, and only import-pack takes one. For a
// profile, import-pack takes no FOLDER: the levels go into the group's folder of the game.
std::optional<std::vector<Args>> parseCommands(const Args& words, std::size_t plain,
                                               bool profile = false) {
    auto option = [&](std::size_t i) { return i < plain && words[i].starts_with("--"); };
    if (words.size() < 3 || option(0) || option(1))
        return std::nullopt;
    std::vector<Args> commands;
    for (std::size_t i = 2; i < words.size();) {
        const EditCommand* known = nullptr;
        for (const EditCommand& command : kEditCommands)
            if (command.name == words[i])
                known = &command;
        if (known == nullptr)
            return std::nullopt;
        std::size_t arguments = known->arguments - (profile && known->name == "import-pack");
        // import-pack's flag stands between the pack and the folder.
        std::size_t flag = known->name == "import-pack" && i + 3 < words.size() &&
                                   words[i + 3] == "--sequel" && option(i + 3)
                               ? i + 3
                               : 0;
        arguments += flag != 0;
        if (i + arguments >= words.size() + (arguments == 0))
            return std::nullopt;
        for (std::size_t k = i + 1; k <= i + arguments; ++k)
            if (k != flag && option(k))
                return std::nullopt;
        commands.emplace_back(words.begin() + static_cast<std::ptrdiff_t>(i),
                              words.begin() + static_cast<std::ptrdiff_t>(i + 1 + arguments));
        i += 1 + arguments;
    }
    return commands;
}

// Runs the commands through the window's editor, answering as a user who says Yes to
// everything. A command that the editor refuses has already said why; each step gives false
// then.
class EditRun {
public:
    EditRun() = default;
    // A run on a profile of `store`, whose imports go into their groups' folders.
    explicit EditRun(std::unique_ptr<ProfileStore> store)
        : session_(std::move(store)), profile_(true) {}

    EditorSession& session() { return session_; }
    Editor& editor() { return session_.editor; }

    // The commands in order; after a refused one, the level files the run wrote are taken back.
    bool runAll(const std::vector<Args>& commands) {
        for (const Args& command : commands) {
            if (!run(command)) {
                editor_.takeBackImports();
                return false;
            }
        }
        return true;
    }

    bool run(const Args& command) {
        const std::string& name = command[0];
        if (name == "undo")
            return editor_.undo().done;
        if (name == "redo")
            return editor_.redo().done;
        if (name == "add-group")
            return addGroupNamed(command[1], command[2]);
        const LevelTree::Node* node = select(command[1]);
        if (node == nullptr)
            return false;
        if (name == "add-set")
            return addSetNamed(command[2]);
        if (name == "add-level")
            return addLevel(command[2]);
        if (name == "import-pack") {
            const bool sequel = command.size() == (profile_ ? 4 : 5);
            return editor_
                .importLevelPack(command[2], profile_ ? std::string() : command.back(), sequel,
                                 ImportInto::SelectedSet)
                .done;
        }
        if (name == "delete")
            return editor_.deleteSelected().done;
        if (name == "up")
            return editor_.moveUp().done;
        if (name == "down")
            return editor_.moveDown().done;
        auto text = windows1252(command[2]);
        if (!text)
            return false;
        if (name == "rename")
            return editor_.rename(node, {*text, true}).done;
        return name == "folder" ? editor_.updateFolder({*text, true}).done
                                : editor_.updateFileName({*text, true}).done;
    }

private:
    EditorSession session_;
    bool profile_ = false;
    Editor& editor_ = session_.editor;
    PrintingUserInterface& ui_ = session_.ui;

    // The node that KEY names becomes the selected node, as a click on it would make it.
    const LevelTree::Node* select(const std::string& key) {
        const LevelTree::Node* node = editor_.tree().find(key);
        if (node == nullptr) {
            refuse("WARNING: no node has the key '" + key + "'");
            return nullptr;
        }
        editor_.clickNode(node);
        return node;
    }

    // The group's folder is the answer to the question Add Group asks, where the empty text is
    // Cancel.
    bool addGroupNamed(const std::string& name, const std::string& folder) {
        if (folder.empty()) {
            refuse("WARNING: add-group needs a FOLDER");
            return false;
        }
        auto nameText = windows1252(name);
        auto folderText = nameText ? windows1252(folder) : std::nullopt;
        if (!folderText)
            return false;
        ui_.inputs = {{*folderText, true}};
        return editor_.addGroup({*nameText, true}).done;
    }

    bool addSetNamed(const std::string& name) {
        auto text = windows1252(name);
        return text && editor_.addSet({*text, true}).done;
    }

    // One level from a file given by its path: the folder list shows its folder, and the file
    // is the one entry selected and clicked.
    bool addLevel(const std::string& path) {
        auto file = windows1252(fileNameOf(path));
        if (!file)
            return false;
        editor_.openFolder(folderOf(path));
        return editor_.addSelectedLevels({{{*file, true}}, {true}, 0}).done;
    }
};

} // namespace

int editCommand(const Args& args) {
    // "--" ends the options, as it does for every command.
    auto dashes = std::find(args.begin(), args.end(), "--");
    Args words(args.begin(), dashes);
    words.insert(words.end(), dashes + (dashes != args.end()), args.end());
    auto commands = parseCommands(words, static_cast<std::size_t>(dashes - args.begin()));
    if (!commands)
        return kUsage;
    EditRun run;
    if (auto loaded = run.editor().openFile(words[0]); !loaded)
        return refuse(loaded.error());
    // A run writes all it was asked to or nothing, the level files of its imports included.
    if (!run.runAll(*commands))
        return kRefused;
    if (auto written = run.editor().writeFile(words[1]); !written) {
        refuse(written.error());
        run.editor().takeBackImports();
        return kRefused;
    }
    return kDone;
}

int editProfileCommand(const Args& args) {
    // The profile's options may stand anywhere before "--"; the rest are edit's words, PROFILE
    // first, with import-pack's --sequel among them.
    CommandLine line;
    std::size_t plain = args.size();
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--" && plain == args.size()) {
            plain = line.words.size();
            continue;
        }
        bool taken = false;
        for (std::string_view option : {"--prefix", "--key", "--game"}) {
            if (plain != args.size() || !arg.starts_with(option))
                continue;
            if (arg.size() == option.size() && i + 1 < args.size())
                line.options.emplace_back(option, args[++i]);
            else if (arg.size() > option.size() && arg[option.size()] == '=')
                line.options.emplace_back(option, arg.substr(option.size() + 1));
            else
                return kUsage;
            taken = true;
        }
        if (!taken)
            line.words.push_back(arg);
    }
    if (line.words.empty())
        return kUsage;
    // edit's list of commands follows its FILE and OUT: the profile stands for both.
    Args words = line.words;
    words.insert(words.begin(), words.front());
    auto commands =
        parseCommands(words, plain == args.size() ? words.size() : plain + 1, /*profile=*/true);
    if (!commands)
        return kUsage;
    EditRun run(openStore(line));
    Editor& editor = run.editor();
    if (!run.session().loadProfile(line, words[0]) || !run.runAll(*commands))
        return kRefused;
    if (!editor.saveProfile(words[0]).done) {
        editor.takeBackImports();
        return kRefused;
    }
    return kDone;
}

} // namespace quillfen::cli
