#include "command_checks.h"
#include "editing/editing_commands.h"

namespace quillfen {
namespace {

// Takes a level out and adds it again right after `anchor`, as the game's editor moved nodes:
// the level keeps its key, text and file name, and takes the highest node index, while every
// node after its old index moves down by one. Gives the level's new node.
const LevelTree::Node* reinsertAfter(LevelTree& tree, const LevelTree::Node* level,
                                     const LevelTree::Node* anchor) {
    std::string key = level->key();
    std::string text = level->text();
    std::string file = tree.levelFiles(level->index());
    tree.remove(level);
    const LevelTree::Node* moved =
        tree.add(anchor, LevelTree::Relationship::Next, std::move(key), std::move(text));
    tree.setLevelFiles(moved->index(), std::move(file));
    return moved;
}

const LevelTree::Node* selectedLevel(EditorState& state, UserInterface& ui) {
    return selectedOfKind(state, ui, NodeKind::Level, "you must first select a level");
}

} // namespace

void moveUp(EditorState& state, UserInterface& ui) {
    const LevelTree::Node* level = selectedLevel(state, ui);
    if (level == nullptr)
        return;
    const LevelTree::Node* previous = level->previousSibling();
    if (previous == nullptr) {
        ui.message("cannot go any higher");
        return;
    }
    if (const LevelTree::Node* anchor = previous->previousSibling()) {
        state.tree.select(reinsertAfter(state.tree, level, anchor));
        return;
    }
    // The second level becomes the first. Nodes can only be put after another one, so the
    // first level goes behind it instead; the selected level stays where the user had it.
    reinsertAfter(state.tree, previous, level);
    state.tree.select(level);
}

void moveDown(EditorState& state, UserInterface& ui) {
    const LevelTree::Node* level = selectedLevel(state, ui);
    if (level == nullptr)
        return;
    const LevelTree::Node* next = level->nextSibling();
    if (next == nullptr) {
        ui.message("cannot go lower");
        return;
    }
    state.tree.select(reinsertAfter(state.tree, level, next));
}

} // namespace quillfen
