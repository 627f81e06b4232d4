#pragma once

// A profile's file, and a plain model of what the editing commands should make of it, from the
// rules of the game's editor without the LevelTree: the nodes, their index order, the selection,
// the key counters, and what the user is told and asked. It knows nothing of the profile's limits,
// which the random edits never reach.

#include "common/user_texts.h"
#include "common/windows1252.h"
#include "database/database_format.h"
#include "database/database_writer.h"
#include "editing/editor_state.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quillfen::testing {

struct LevelSpec {
    std::string title, file;
};
struct SetSpec {
    std::string name;
    std::vector<LevelSpec> levels;
};
struct GroupSpec {
    std::string name, folder;
    std::vector<SetSpec> sets;
};
using ProfileSpec = std::vector<GroupSpec>;

// The UserDatabase of a profile; the writer's bytes are pinned by the golden file of
// tests/database.
inline std::vector<unsigned char> profileBytes(const ProfileSpec& profile) {
    using R = LevelTree::Relationship;
    LevelTree tree;
    for (const GroupSpec& g : profile) {
        auto* group =
            tree.add(nullptr, R::Last, NodeKind::Group, tree.count() + 1, g.name, g.folder);
        for (const SetSpec& s : g.sets) {
            auto* set = tree.add(group, R::Child, NodeKind::Set, tree.count() + 1, s.name);
            for (const LevelSpec& l : s.levels)
                tree.add(set, R::Child, NodeKind::Level, tree.count() + 1, l.title, l.file);
        }
    }
    return encodeDatabase(tree);
}

struct ModelNode {
    std::string key, text;
    std::string entry; // a group's folder, a level's file name
    std::vector<ModelNode> children;
};

// A level file as the level-file list offers it: its title, or nullopt when it cannot be read.
using FileTitles = std::map<std::string, std::optional<std::string>>;

// What an undo or a redo gives back: the nodes, their index order and the selection.
struct ModelTree {
    std::vector<ModelNode> groups;
    std::vector<std::string> order; // keys in node-index order
    std::string selected;

    // The keys, each node's children in brackets: "root1(parent1(level1) parent2) root2"; with
    // `details`, a line a node, its text and entry after its key.
    static std::string outline(const std::vector<ModelNode>& nodes, bool details = false) {
        std::string out;
        for (const ModelNode& n : nodes) {
            if (!out.empty())
                out += details ? '\n' : ' ';
            out += n.key;
            if (details)
                out.append(" '").append(n.text).append("' [").append(n.entry) += ']';
            if (!n.children.empty())
                out.append("(").append(outline(n.children, details)).append(")");
        }
        return out;
    }

    // A group's folder or a level's file name; a set has none.
    static std::string entryOf(const LevelTree& tree, const LevelTree::Node* n) {
        return std::string(n->kind() == NodeKind::Group   ? tree.groupFolders(n->index())
                           : n->kind() == NodeKind::Level ? tree.levelFiles(n->index())
                                                          : "");
    }

    // The Editor's tree as a model.
    static ModelTree of(const LevelTree& tree) {
        ModelTree m;
        auto add = [&](auto& self, std::vector<ModelNode>& to, const LevelTree::Node* n) -> void {
            to.push_back({n->key(), std::string(n->text()), entryOf(tree, n), {}});
            for (int i = 0; i < n->children(); ++i)
                self(self, to.back().children, n->child(i));
        };
        for (const LevelTree::Node* group : tree.topLevel())
            add(add, m.groups, group);
        for (int i = 1; i <= tree.count(); ++i)
            m.order.push_back(tree.item(i)->key());
        m.selected = tree.selected() ? tree.selected()->key() : "";
        return m;
    }

    std::string dump() const {
        std::string out = outline(groups, true) + "\nselected: " + selected + "\norder:";
        for (const std::string& key : order)
            out.append(" ").append(key);
        return out;
    }
};

class TreeModel : public ModelTree {
public:
    std::uint32_t groupCount = 0, setCount = 0;
    std::int32_t levelCount = 0;
    std::vector<std::string> messages, questions;

    // The profile as a load makes it: keys numbered in file order, node 1 selected.
    static TreeModel loaded(const ProfileSpec& profile) {
        TreeModel m;
        for (const GroupSpec& g : profile) {
            ModelNode& group = m.append(m.groups, "root", ++m.groupCount, g.name, g.folder);
            for (const SetSpec& s : g.sets) {
                ModelNode& set = m.append(group.children, "parent", ++m.setCount, s.name, "");
                for (const LevelSpec& l : s.levels)
                    m.append(set.children, "level", ++m.levelCount, l.title, l.file);
            }
        }
        m.selected = m.order.empty() ? "" : m.order.front();
        return m;
    }

    void say(const std::string& text) { messages.push_back(text); }

    // --- the commands, as the game's editor defines them with this tool's mends ---

    // The folder is asked for before the group is made; Cancel (the empty text) or a folder
    // that cannot be stored adds nothing and issues no key.
    void addGroup(const std::string& folder, bool storable) {
        if (folder.empty())
            return;
        if (!storable)
            return say(kUnstorableText);
        if (folder.size() > 68)
            return say("WARNING: the folder can be at most 68 characters long");
        if (std::string refusal = droppedEnding(folder, "folder"); !refusal.empty())
            return say(refusal);
        append(groups, "root", ++groupCount, freeName(groups, "CUSTOM LEVELS"), folder);
    }

    void addSet() {
        if (ModelNode* group = selectedOf("root", "you must first select a group to add a set to"))
            append(group->children, "parent", ++setCount, freeName(group->children, "CUSTOM SET"),
                   "");
    }

    // A new node's name, numbered from 2 while a sibling has it.
    static std::string freeName(const std::vector<ModelNode>& siblings, const std::string& name) {
        std::string free = name;
        for (int n = 2; std::any_of(siblings.begin(), siblings.end(),
                                    [&](const ModelNode& s) { return s.text == free; });
             ++n)
            free = name + " " + std::to_string(n);
        return free;
    }

    // The chosen files of the list, when a file of it is current.
    void addLevels(const std::vector<std::string>& chosen, bool current, const FileTitles& titles) {
        ModelNode* set = selectedOf("parent", "you must first select a set to add levels to");
        if (!set)
            return;
        if (!current)
            return say("you must first select the level you wish to add from above");
        std::size_t before = set->children.size();
        std::string unreadable;
        for (const std::string& name : chosen) {
            if (!titles.at(name))
                unreadable += (unreadable.empty() ? "" : ", ") + windows1252ToUtf8(name);
            else
                append(set->children, "level", ++levelCount, *titles.at(name), name);
        }
        say(std::to_string(set->children.size() - before) + " level(s) added to '" +
            windows1252ToUtf8(set->text) + "'" +
            (unreadable.empty() ? "" : "\nWARNING: could not read " + unreadable));
    }

    // Delete Group, Delete Set or Delete Selected Level; `answer` is the reply to the question.
    void deleteNode(const std::string& kind, bool answer) {
        std::string word = kind == "root" ? "group" : kind == "parent" ? "set" : "level";
        ModelNode* node =
            selectedOf(kind, "you must first select a " + word + " to delete from the tree");
        if (!node)
            return;
        if (kind != "level") {
            questions.push_back("Are you sure you want to delete '" +
                                windows1252ToUtf8(node->text) + "' and the " +
                                std::to_string(node->children.size()) +
                                (kind == "root" ? " sets" : " levels") + " under it?");
            if (!answer)
                return;
        }
        auto [siblings, row, parent] = place(node->key);
        forget(*node);
        siblings->erase(siblings->begin() + static_cast<std::ptrdiff_t>(row));
        selected = row < siblings->size() ? (*siblings)[row].key
                   : row > 0              ? (*siblings)[row - 1].key
                   : parent               ? parent->key
                                          : "";
    }

    void move(bool up) {
        ModelNode* node = selectedOf("level", "you must first select a level");
        if (!node)
            return;
        auto [siblings, row, parent] = place(node->key);
        if (up ? row == 0 : row + 1 == siblings->size())
            return say(up ? "cannot go any higher" : "cannot go lower");
        // The moved level is taken out and added again, so it takes the highest node index.
        std::string key = node->key;
        std::swap((*siblings)[row], (*siblings)[up ? row - 1 : row + 1]);
        order.erase(std::find(order.begin(), order.end(), key));
        order.push_back(key);
    }

    // The refusal of a name that ends where Windows drops a character; empty for another.
    static std::string droppedEnding(const std::string& text, const std::string& what) {
        if (text == "..")
            return "WARNING: the folder '..' holds '..', which leads out of the folder it names";
        if (text.back() != '.' && text.back() != ' ')
            return {};
        return "WARNING: the " + what + " '" + windows1252ToUtf8(text) + "' ends in a " +
               (text.back() == '.' ? "dot" : "space") + ", which Windows drops from a " + what;
    }

    // Update Folder and Update File Name: the entry of the selected node, whatever its kind.
    void update(const std::string& text, bool storable, bool folder) {
        if (selected.empty())
            return say(folder ? "you must first select a group" : "you must first select a level");
        if (!storable)
            return say(kUnstorableText);
        if (text.size() > (folder ? 68u : 38u))
            return say(folder ? "WARNING: the folder can be at most 68 characters long"
                              : "WARNING: the file name can be at most 38 characters long");
        // The texts made here hold no character Windows forbids, but may end where it drops one.
        const char* what = folder ? "folder" : "file name";
        if (text.empty())
            return say("WARNING: the " + std::string(what) + " cannot be empty");
        if (std::string refusal = droppedEnding(text, what); !refusal.empty())
            return say(refusal);
        // An entry stored at a node of the other kind is kept with it but never read or saved.
        ModelNode* node = place(selected).node();
        if (node->key.starts_with(folder ? "root" : "level"))
            node->entry = text;
        say(folder ? "Group's source folder has been updated"
                   : "Levels source file has been updated");
    }

    bool rename(const std::string& key, const std::string& text, bool storable) {
        std::size_t limit = key.starts_with("parent") ? 108 : 40;
        if (!storable || text.empty() || text.size() > limit) {
            say(!storable      ? std::string(kUnstorableText)
                : text.empty() ? "WARNING: the name cannot be empty"
                               : "WARNING: the name can be at most " + std::to_string(limit) +
                                     " characters long");
            return false;
        }
        if (place(key).node()->text == text)
            return false;
        place(key).node()->text = text;
        return true;
    }

private:
    struct Place {
        std::vector<ModelNode>* siblings = nullptr;
        std::size_t row = 0;
        ModelNode* parent = nullptr;
        ModelNode* node() const { return &(*siblings)[row]; }
    };

    Place place(const std::string& key) { return place(key, groups, nullptr); }
    static Place place(const std::string& key, std::vector<ModelNode>& siblings,
                       ModelNode* parent) {
        for (std::size_t i = 0; i < siblings.size(); ++i) {
            if (siblings[i].key == key)
                return {&siblings, i, parent};
            if (Place found = place(key, siblings[i].children, &siblings[i]); found.siblings)
                return found;
        }
        return {};
    }

    ModelNode& append(std::vector<ModelNode>& siblings, const char* word, std::int64_t number,
                      const std::string& text, const std::string& entry) {
        order.push_back(word + std::to_string(number));
        siblings.push_back({order.back(), text, entry, {}});
        return siblings.back();
    }

    ModelNode* selectedOf(const std::string& kind, const std::string& refusal) {
        if (order.empty() || selected.empty() || !selected.starts_with(kind)) {
            say(order.empty() ? "you have to load up a profile first" : refusal);
            return nullptr;
        }
        return place(selected).node();
    }

    void forget(const ModelNode& node) {
        order.erase(std::find(order.begin(), order.end(), node.key));
        for (const ModelNode& child : node.children)
            forget(child);
    }
};

} // namespace quillfen::testing
