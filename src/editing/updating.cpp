#include "database/database_format.h"
#include "editing/editing_commands.h"

namespace quillfen {
namespace {

// What the two "update" buttons share: the text goes whole into the table entry at the selected
// node's index, whatever its kind, as the game's editor stored it; the record field cuts it only
// when the profile is saved.
void storeText(EditorState& state, UserInterface& ui, const TextAnswer& text,
               void (LevelTree::*store)(int, std::string), const char* noSelection,
               const char* stored) {
    const LevelTree::Node* node = state.tree.selected();
    if (node == nullptr) {
        ui.message(noSelection);
        return;
    }
    if (!text.storable) {
        ui.message(kUnstorableText);
        return;
    }
    (state.tree.*store)(node->index(), text.text);
    ui.message(stored);
}

} // namespace

void updateFolder(EditorState& state, UserInterface& ui, const TextAnswer& text1) {
    storeText(state, ui, text1, &LevelTree::setGroupFolders, "you must first select a group",
              "Group's source folder has been updated");
}

void updateFileName(EditorState& state, UserInterface& ui, const TextAnswer& text2) {
    storeText(state, ui, text2, &LevelTree::setLevelFiles, "you must first select a level",
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

bool renameNode(EditorState& state, UserInterface& ui, const LevelTree::Node* node,
                const TextAnswer& text) {
    if (node == nullptr)
        return false;
    if (!text.storable) {
        ui.message(kUnstorableText);
        return false;
    }
    // A name that fills its field is stored without a closing zero and still reads back whole.
    std::size_t limit = nameLimit(node->kind());
    if (text.text.size() > limit) {
        ui.message(nameTooLong(limit));
        return false;
    }
    state.tree.setText(node, text.text);
    return true;
}

} // namespace quillfen
