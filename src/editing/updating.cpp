#include "common/windows1252.h"
#include "common/windows_names.h"
#include "database/database_format.h"
#include "editing/command_checks.h"
#include "editing/editing_commands.h"

namespace quillfen {
namespace {

std::string refusalFor(const TextAnswer& text, std::size_t limit, const char* what) {
    if (!text.storable)
        return kUnstorableText;
    if (text.text.size() <= limit)
        return {};
    return "WARNING: the " + std::string(what) + " can be at most " + std::to_string(limit) +
           " characters long";
}

EditResult changeText(EditorState& state, const LevelTree::Node* node, ChangedText::Field field,
                      const std::string& text) {
    auto step = std::make_unique<ChangedText>(state.tree, node, field, text);
    step->redo(state.tree);
    return {std::move(step), {}};
}

// What the two "update" buttons share: the text goes whole into the table entry at the selected
// node's index, whatever its kind, as the game's editor stored it. A text that the record field
// would cut at the save is refused, as a rename is.
EditResult storeText(EditorState& state, const TextAnswer& text, ChangedText::Field field,
                     const std::string& refusal, const char* noSelection, const char* stored) {
    const LevelTree::Node* node = state.tree.selected();
    if (node == nullptr)
        return {nullptr, noSelection};
    if (!refusal.empty())
        return {nullptr, refusal};
    EditResult changed = changeText(state, node, field, text.text);
    changed.message = stored;
    return changed;
}

} // namespace

std::string nameRefusal(NodeKind kind, const TextAnswer& name) {
    // A node without a name shows as nothing in the tree and in the game.
    if (name.storable && name.text.empty())
        return "WARNING: the name cannot be empty";
    switch (kind) {
    case NodeKind::Group:
        return refusalFor(name, format::kGroupNameWidth, "name");
    case NodeKind::Set:
        return refusalFor(name, format::kSetNameWidth, "name");
    case NodeKind::Level:
        break;
    }
    return refusalFor(name, format::kLevelNameWidth, "name");
}

std::string folderRefusal(const TextAnswer& folder) {
    if (std::string refusal = refusalFor(folder, format::kFolderWidth, "folder"); !refusal.empty())
        return refusal;
    // The game looks for the group's levels in this folder: one Windows cannot open holds none.
    std::string reason = windowsFolderRefusal(folder.text);
    return reason.empty() ? reason : "WARNING: " + windows1252ToUtf8(reason);
}

std::string fileNameRefusal(const TextAnswer& fileName) {
    if (std::string refusal = refusalFor(fileName, format::kLevelFileWideWidth, "file name");
        !refusal.empty())
        return refusal;
    // The game opens the level by this name: one that Windows cannot open is no level.
    std::string reason = windowsNameRefusal(fileName.text);
    return reason.empty() ? reason : "WARNING: " + windows1252ToUtf8(reason);
}

EditResult updateFolder(EditorState& state, const TextAnswer& folder) {
    return storeText(state, folder, ChangedText::Field::GroupFolder, folderRefusal(folder),
                     "you must first select a group", "Group's source folder has been updated");
}

EditResult updateFileName(EditorState& state, const TextAnswer& fileName) {
    return storeText(state, fileName, ChangedText::Field::LevelFile, fileNameRefusal(fileName),
                     kSelectLevel, "Levels source file has been updated");
}

EditResult renameNode(EditorState& state, const LevelTree::Node* node, const TextAnswer& text) {
    // An in-place edit closed without a change is no step to undo.
    if (node == nullptr || node->text() == text.text)
        return {};
    // A name that fills its field is stored without a closing zero and still reads back whole.
    if (std::string refusal = nameRefusal(node->kind(), text); !refusal.empty())
        return {nullptr, refusal};
    return changeText(state, node, ChangedText::Field::Text, text.text);
}

} // namespace quillfen
