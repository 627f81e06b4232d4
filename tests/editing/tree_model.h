#pragma once

// A plain model of what the editing commands should make of a profile, written from the rules
// of the game's editor without the LevelTree: nested lists of nodes, the node-index order as a
// list of keys, the selection, the key counters and the messages the user should see.

#include "database/database_format.h"
#include "editing/editor_state.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace quillfen::testing {

struct LevelSpec {
    std::string title;
    std::string file;
};
struct SetSpec {
    std::string name;
    std::vector<LevelSpec> levels;
};
struct GroupSpec {
    std::string name;
    std::string folder;
    std::vector<SetSpec> sets;
};
using ProfileSpec = std::vector<GroupSpec>;

// The UserDatabase of a profile, record by record, written out here rather than by the writer.
inline std::vector<unsigned char> profileBytes(const ProfileSpec& profile) {
    std::vector<unsigned char> bytes(format::kHeaderSize);
    auto put16 = [&](std::size_t at, std::size_t value) {
        bytes[at] = static_cast<unsigned char>(value & 0xFF);
        bytes[at + 1] = static_cast<unsigned char>(value >> 8);
    };
    auto put = [&](std::size_t at, const auto& from) {
        std::copy(from.begin(), from.end(), bytes.begin() + at);
    };
    auto record = [&](const auto& fixed, const std::string& name, const std::string& second,
                      std::size_t count, bool level) {
        std::size_t at = bytes.size();
        bytes.resize(at + format::kRecordSize);
        put16(at, (at - format::kHeaderSize) / format::kRecordSize);
        put(at + 2, fixed);
        put(at + 10, name);
        put(at + 50, second);
        if (level) {
            put(at + 84, second);
            put(at + 122, format::kLevelTrailer);
        } else {
            put16(at + 118, count);
        }
    };
    for (const GroupSpec& group : profile) {
        record(format::kGroupFixed, group.name, group.folder, group.sets.size(), false);
        for (const SetSpec& set : group.sets) {
            record(format::kSetFixed, set.name, "", set.levels.size(), false);
            for (const LevelSpec& level : set.levels)
                record(format::kLevelFixed, level.title, level.file, 0, true);
        }
    }
    put16(4, (bytes.size() - format::kHeaderSize) / format::kRecordSize);
    return bytes;
}

struct ModelNode {
    std::string key;
    std::string text;
    std::string entry; // a group's folder, a level's file name
    std::vector<ModelNode> children;
};

// A level file as the level-file list offers it: its title, or nullopt when it cannot be read.
using FileTitles = std::map<std::string, std::optional<std::string>>;

class TreeModel {
public:
    std::vector<ModelNode> groups;
    std::vector<std::string> order; // keys in node-index order
    std::string selected;
    std::uint32_t groupCount = 0;
    std::uint32_t setCount = 0;
    std::int32_t levelCount = 0;
    std::vector<std::string> messages;
    std::vector<std::string> questions;

    // The profile as a load makes it: keys numbered in file order, node 1 selected.
    static TreeModel loaded(const ProfileSpec& profile) {
        TreeModel m;
        for (const GroupSpec& g : profile) {
            ModelNode& group = m.append(m.groups, "root" + std::to_string(++m.groupCount), g.name);
            group.entry = g.folder;
            for (const SetSpec& s : g.sets) {
                ModelNode& set =
                    m.append(group.children, "parent" + std::to_string(++m.setCount), s.name);
                for (const LevelSpec& l : s.levels)
                    m.append(set.children, "level" + std::to_string(++m.levelCount), l.title)
                        .entry = l.file;
            }
        }
        m.selected = m.order.empty() ? "" : m.order.front();
        return m;
    }

    int count() const { return static_cast<int>(order.size()); }

    // --- the commands, as the game's editor defines them with this tool's mends ---

    static constexpr char kFull[] =
        "WARNING: the profile cannot hold more than 3649 groups, sets and levels";
    static constexpr char kUnstorable[] =
        "WARNING: the text holds characters that cannot be stored";

    void addGroup(const std::string& folder, bool storable = true) {
        if (count() >= format::kMaxNodes)
            return say(kFull);
        ModelNode& group = append(groups, "root" + std::to_string(++groupCount), "CUSTOM LEVELS");
        if (!storable)
            return say(kUnstorable);
        if (folder.size() > 68)
            return say("WARNING: the folder can be at most 68 characters long");
        group.entry = folder;
    }

    void addSet() {
        ModelNode* group = selectedOf("root", "you must first select a group to add a set to");
        if (!group)
            return;
        if (group->children.size() >= 255)
            return say("WARNING: a group cannot hold more than 255 sets");
        if (count() >= format::kMaxNodes)
            return say(kFull);
        append(group->children, "parent" + std::to_string(++setCount), "CUSTOM SET");
    }

    void addLevels(const std::vector<std::string>& chosen, const std::string& current,
                   const FileTitles& titles) {
        ModelNode* set = selectedOf("parent", "you must first select a set to add levels to");
        if (!set)
            return;
        if (current.empty())
            return say("you must first select the level you wish to add from above");
        int added = 0, leftOut = 0;
        std::string unreadable;
        for (const std::string& name : chosen) {
            if (count() >= format::kMaxNodes) {
                ++leftOut;
            } else if (!titles.at(name)) {
                unreadable += (unreadable.empty() ? "" : ", ") + name;
            } else {
                append(set->children, "level" + std::to_string(++levelCount), *titles.at(name))
                    .entry = name;
                ++added;
            }
        }
        std::string text = std::to_string(added) + " level(s) added to '" + set->text + "'";
        if (!unreadable.empty())
            text += "\nWARNING: could not read " + unreadable;
        if (leftOut)
            text += "\n" + std::string(kFull) + "; " + std::to_string(leftOut) +
                    " level(s) could not be added";
        say(text);
    }

    // Delete Group, Delete Set or Delete Selected Level; `answer` is the reply to the question.
    void deleteNode(const std::string& kind, bool answer) {
        const char* refusal =
            kind == "root"     ? "you must first select a group to delete from the tree"
            : kind == "parent" ? "you must first select a set to delete from the tree"
                               : "you must first select a level to delete from the tree";
        ModelNode* node = selectedOf(kind, refusal);
        if (!node)
            return;
        if (kind != "level") {
            questions.push_back("Are you sure you want to delete '" + node->text + "' and the " +
                                std::to_string(node->children.size()) +
                                (kind == "root" ? " sets" : " levels") + " under it?");
            if (!answer)
                return;
        }
        auto [siblings, row, parent] = place(node->key);
        forget(*node);
        siblings->erase(siblings->begin() + static_cast<std::ptrdiff_t>(row));
        if (row < siblings->size())
            selected = (*siblings)[row].key;
        else if (row > 0)
            selected = (*siblings)[row - 1].key;
        else
            selected = parent ? parent->key : "";
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

    // Update Folder and Update File Name: the entry of the selected node, whatever its kind.
    void update(const std::string& text, bool storable, bool folder) {
        if (selected.empty())
            return say(folder ? "you must first select a group" : "you must first select a level");
        if (!storable)
            return say(kUnstorable);
        if (text.size() > (folder ? 68u : 38u))
            return say(folder ? "WARNING: the folder can be at most 68 characters long"
                              : "WARNING: the file name can be at most 38 characters long");
        // An entry stored at a node of the other kind is kept with it but never read or saved.
        ModelNode* node = find(selected);
        if (node->key.starts_with(folder ? "root" : "level"))
            node->entry = text;
        say(folder ? "Group's source folder has been updated"
                   : "Levels source file has been updated");
    }

    bool rename(const std::string& key, const std::string& text, bool storable) {
        std::size_t limit = key.starts_with("parent") ? 108 : 40;
        if (!storable || text.size() > limit) {
            say(!storable ? std::string(kUnstorable)
                          : "WARNING: the name can be at most " + std::to_string(limit) +
                                " characters long");
            return false;
        }
        find(key)->text = text;
        return true;
    }

    // --- the outcome, printed the same way from the model and from the editor state ---

    std::string dump() const {
        std::string out;
        print(out, groups, 0);
        return out + footer(order, selected, groupCount, setCount, levelCount);
    }

    static std::string dump(const EditorState& state) {
        const LevelTree& tree = state.tree;
        std::string out;
        auto node = [&](auto& self, const LevelTree::Node* n, int depth) -> void {
            ModelNode m{n->key(), std::string(n->text()), "", {}};
            if (n->kind() == NodeKind::Group)
                m.entry = tree.groupFolders(n->index());
            else if (n->kind() == NodeKind::Level)
                m.entry = tree.levelFiles(n->index());
            out += line(m, depth);
            for (int i = 0; i < n->children(); ++i)
                self(self, n->child(i), depth + 1);
        };
        for (const LevelTree::Node* g : tree.topLevel())
            node(node, g, 0);
        std::vector<std::string> keys;
        for (int i = 1; i <= tree.count(); ++i)
            keys.push_back(tree.item(i)->key());
        std::string selected = tree.selected() ? tree.selected()->key() : "";
        return out + footer(keys, selected, state.groupCount, state.setCount, state.levelCount);
    }

    void say(const std::string& text) { messages.push_back(text); }

    ModelNode* find(const std::string& key) {
        auto [siblings, row, parent] = place(key);
        return siblings ? &(*siblings)[row] : nullptr;
    }

private:
    struct Place {
        std::vector<ModelNode>* siblings = nullptr;
        std::size_t row = 0;
        ModelNode* parent = nullptr;
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

    ModelNode& append(std::vector<ModelNode>& siblings, std::string key, std::string text) {
        order.push_back(key);
        siblings.push_back({std::move(key), std::move(text), "", {}});
        return siblings.back();
    }

    ModelNode* selectedOf(const std::string& kind, const char* refusal) {
        if (order.empty()) {
            say("you have to load up a profile first");
            return nullptr;
        }
        if (selected.empty() || !selected.starts_with(kind)) {
            say(refusal);
            return nullptr;
        }
        return find(selected);
    }

    void forget(const ModelNode& node) {
        order.erase(std::find(order.begin(), order.end(), node.key));
        for (const ModelNode& child : node.children)
            forget(child);
    }

    static void print(std::string& out, const std::vector<ModelNode>& nodes, int depth) {
        for (const ModelNode& n : nodes) {
            out += line(n, depth);
            print(out, n.children, depth + 1);
        }
    }

    static std::string line(const ModelNode& n, int depth) {
        return std::string(static_cast<std::size_t>(depth) * 2, ' ') + n.key + " '" + n.text +
               "' [" + n.entry + "]\n";
    }

    static std::string footer(const std::vector<std::string>& keys, const std::string& selected,
                              std::uint32_t g, std::uint32_t s, std::int32_t l) {
        std::string out = "order:";
        for (const std::string& key : keys)
            out += " " + key;
        return out + "\nselected: " + selected + "\ncounters: " + std::to_string(g) + " " +
               std::to_string(s) + " " + std::to_string(l) + "\n";
    }
};

} // namespace quillfen::testing
