#include "database/database_format.h"
#include "editing/command_checks.h"
#include "editing/editing_commands.h"

namespace quillfen {
namespace {

// What the two "update" buttons share: the text goes whole into the table entry at the selected
// node's index, whatever its kind, as the game's editor stored it. A text that the record field
// would cut at the save is refused, as a rename is.
EditStep storeText(EditorState& state, UserInterface& ui, const TextAnswer& text,
                   ChangedText::Field field, std::size_t limit, const std::string& tooLong,
                   const char* noSelection, const char* stored) {
    const LevelTree::Node* node = state.tree.selected();
    if (node == nullptr) {
        ui.message(noSelection);
        return nullptr;
    }
    if (!text.storable) {
        ui.message(kUnstorableText);
        return nullptr;
    }
    if (text.text.size() > limit) {
        ui.message(tooLong);
        return nullptr;
    }
    auto step = std::make_unique<ChangedText>(state.tree, node, field, text.text);
    step->redo(state.tree);
    ui.message(stored);
    return step;
}

} // namespace

EditStep updateFolder(EditorState& state, UserInterface& ui, const TextAnswer& folder) {
    return storeText(state, ui, folder, ChangedText::Field::GroupFolder, format::kFolderWidth,
                     folderTooLong(), "you must first select a group",
                     "Group's source folder has been updated");
}

EditStep updateFileName(EditorState& state, UserInterface& ui, const TextAnswer& fileName) {
    return storeText(state, ui, fileName, ChangedText::Field::LevelFile,
                     format::kLevelFileWideWidth, fileNameTooLong(), kSelectLevel,
                     "Levels source file has been updated");
}

std::size_t nameLimit(NodeKind kind) {
    switch (kind) {
    case NodeKind::Group:
        return format::kGroupNameWidth;
    case NodeKind::Set:
        return format::kSetNameWidth;
    case NodeKind::Level:
        break;
    }
    return format::kLevelNameWidth;
}

std::string nameTooLong(std::size_t limit) {
    return "WARNING: the name can be at most " + std::to_string(limit) + " characters long";
}

std::string folderTooLong() {
    return "WARNING: the folder can be at most " + std::to_string(format::kFolderWidth) +
           " characters long";
}

std::string fileNameTooLong() {
    return "WARNING: the file name can be at most " + std::to_string(format::kLevelFileWideWidth) +
           " characters long";
}

EditStep renameNode(EditorState& state, UserInterface& ui, const LevelTree::Node* node,
                    const TextAnswer& text) {
    if (node == nullptr)
        return nullptr;
    if (!text.storable) {
        ui.message(kUnstorableText);
        return nullptr;
    }
    // A name that fills its field is stored without a closing zero and still reads back whole.
    std::size_t limit = nameLimit(node->kind());
    if (text.text.size() > limit) {
        ui.message(nameTooLong(limit));
        return nullptr;
    }
    auto step =
        std::make_unique<ChangedText>(state.tree, node, ChangedText::Field::Text, text.text);
    step->redo(state.tree);
    return step;
}

} // namespace quillfen
