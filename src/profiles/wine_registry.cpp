#include "profiles/wine_registry.h"

#include "host/file_io.h"
#include "profiles/wine_registry_lines.h"
#include "profiles/wine_text.h"

#include <utility>

namespace quillfen {
namespace {

// A hive larger than this is not a registry Wine wrote.
constexpr std::size_t kMaxRegistryFile = std::size_t{256} << 20;

} // namespace

WineRegistry::WineRegistry(std::string path) : path_(std::move(path)) {}

void WineRegistry::refresh() {
    std::int64_t size = -1, mtime = -1, inode = -1;
    if (auto info = pathInfo(path_); info && info->kind != EntryKind::Missing) {
        size = static_cast<std::int64_t>(info->size);
        mtime = info->changed;
        inode = static_cast<std::int64_t>(info->id);
    }
    if (size == size_ && mtime == mtime_ && inode == inode_)
        return;
    size_ = size;
    mtime_ = mtime;
    inode_ = inode;
    bytes_.clear();
    readError_.clear();
    if (size >= 0) {
        auto bytes = readWholeFile(path_, kMaxRegistryFile);
        if (bytes)
            bytes_ = std::move(*bytes);
        else
            readError_ = bytes.error();
    }
    index();
}

void WineRegistry::index() {
    found_.clear();
    win64_ = false;
    std::string_view text = this->text();
    for (std::size_t pos = 0; pos < text.size() && text[pos] != '['; pos = nextLine(text, pos)) {
        if (lineAt(text, pos) == "#arch=win64")
            win64_ = true;
    }
}

const WineRegistry::Key* WineRegistry::find(std::u16string_view keyPath) {
    std::u16string wanted = normalPath(keyPath);
    auto known = found_.find(wanted);
    if (known != found_.end())
        return known->second ? &*known->second : nullptr;

    // One pass over the key lines gives the key and each of its subkeys, as a listing of the
    // profiles is followed by a look into each of them. Maps by case-folded name keep Wine's
    // order of subkeys, and the first spelling met.
    struct Child {
        std::u16string name;
        std::vector<std::size_t> lines;
        std::map<std::u16string, std::u16string> subkeys;
    };
    std::map<std::u16string, Child> children;
    Key key;
    bool exists = wanted.empty(); // the hive's root
    std::string_view text = this->text();
    // Most key lines differ from the wanted path within a few plain bytes; those are passed over
    // without decoding them. A line that begins with the same bytes as the line before, as far
    // as these told that one apart, is passed over at once: Wine writes neighbouring keys, which
    // share most of their path, one after the other.
    std::string plain = plainForm(wanted);
    std::size_t before = 0, told = 0;
    for (std::size_t line = nextKeyLine(text, 0); line < text.size();
         line = nextKeyLine(text, line + 1)) {
        std::size_t start = line + 1;
        if (told && start + told <= text.size() &&
            sameBytes(text.data() + start, text.data() + before, told))
            continue;
        told = plain.empty() ? 0 : differsWithin(text, start, plain);
        before = start;
        if (told)
            continue;
        KeyLinePath path(text, start);
        std::size_t matched = 0;
        std::optional<char16_t> unit;
        while (matched < wanted.size() && (unit = path.next()) &&
               foldCase(*unit) == wanted[matched])
            ++matched;
        if (matched < wanted.size())
            continue;
        // Past the wanted path: the key itself ends here, or one of its subkeys begins.
        unit = path.next();
        if (unit && !wanted.empty() && *unit != u'\\')
            continue; // a sibling whose name goes on, such as "Users2"
        if (unit && !wanted.empty())
            unit = path.next();
        std::u16string name, grandchild;
        for (; unit && *unit != u'\\'; unit = path.next())
            name += *unit;
        if (unit) {
            while ((unit = path.next()) && *unit != u'\\')
                grandchild += *unit;
        }
        // The whole path is read, as a line that does not close it names no key at all.
        while (unit)
            unit = path.next();
        if (!path.closed())
            continue;
        exists = true;
        if (name.empty()) {
            key.lines.push_back(line);
            continue;
        }
        Child& child = children[foldCase(name)];
        if (child.name.empty())
            child.name = name;
        if (grandchild.empty())
            child.lines.push_back(line);
        else
            child.subkeys.emplace(foldCase(grandchild), grandchild);
    }

    for (auto& [folded, child] : children) {
        key.subkeys.push_back(child.name);
        Key found{{}, std::move(child.lines)};
        for (auto& entry : child.subkeys)
            found.subkeys.push_back(std::move(entry.second));
        found_.emplace(wanted.empty() ? folded : wanted + u'\\' + folded, std::move(found));
    }
    auto& entry = found_[wanted];
    if (exists)
        entry = std::move(key);
    return entry ? &*entry : nullptr;
}

bool WineRegistry::exists(std::u16string_view keyPath) {
    return find(keyPath) != nullptr;
}

std::optional<std::vector<std::u16string>> WineRegistry::subkeys(std::u16string_view keyPath) {
    const Key* key = find(keyPath);
    if (!key)
        return std::nullopt;
    return key->subkeys;
}

std::optional<RegistryValue> WineRegistry::value(std::u16string_view keyPath,
                                                 std::u16string_view name) {
    const Key* key = find(keyPath);
    if (!key)
        return std::nullopt;
    std::u16string wanted = foldCase(name);
    std::string_view text = this->text();
    std::optional<RegistryValue> result;
    for (std::size_t line : key->lines) {
        std::size_t end = nextKeyLine(text, line + 1);
        for (std::size_t pos = nextLine(text, line); pos < end; pos = nextLine(text, pos)) {
            std::u16string valueName;
            std::size_t data;
            if (text[pos] == '@') {
                data = pos + 1;
            } else if (text[pos] == '"') {
                EscapedText quoted(text, pos + 1, '"');
                while (auto unit = quoted.next())
                    valueName += foldCase(*unit);
                if (!quoted.closed())
                    continue;
                data = quoted.position();
            } else {
                continue;
            }
            if (data >= text.size() || text[data] != '=' || valueName != wanted)
                continue;
            // When a key's value appears twice, the later line wins, as when Wine loads it.
            if (auto parsed = parseData(text, data + 1))
                result = std::move(parsed);
        }
    }
    return result;
}

} // namespace quillfen
