#include "command_checks.h"
#include "editing/editing_commands.h"

namespace quillfen {
namespace {

// Takes a level out and adds it again beside `anchor` (right after it, or first among its
// siblings), as the game's editor moved nodes: the level keeps its key, text and file name, and
// takes the highest node index, while every node after its old index moves down by one. Gives
// the level's new node.
const LevelTree::Node* reinsert(LevelTree& tree, const LevelTree::Node* level,
                                const LevelTree::Node* anchor, LevelTree::Relationship where) {
    std::string key = level->key();
    std::string text = level->text();
    std::string file = tree.levelFiles(level->index());
    tree.remove(level);
    const LevelTree::Node* moved = tree.add(anchor, where, std::move(key), std::move(text));
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
    // The second level has no anchor two places up: it becomes the first of its set.
    const LevelTree::Node* anchor = previous->previousSibling();
    state.tree.select(anchor
                          ? reinsert(state.tree, level, anchor, LevelTree::Relationship::Next)
                          : reinsert(state.tree, level, previous, LevelTree::Relationship::First));
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
    state.tree.select(reinsert(state.tree, level, next, LevelTree::Relationship::Next));
}

} // namespace quillfen
