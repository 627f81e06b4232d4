#include "profiles/wine_registry.h"

#include "common/windows1252.h"
#include "host/file_io.h"
#include "profiles/wine_text.h"

#include <cstring>
#include <utility>

namespace quillfen {
namespace {

// A hive larger than this is not a registry Wine wrote.
constexpr std::size_t kMaxRegistryFile = std::size_t{256} << 20;

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Wine's escaped text, read one UTF-16 code unit at a time up to an unescaped closing character
// (']' for a key path, '"' for a name or a text). wineserver writes "\\", "\"", "\[", "\]", C
// escapes such as "\n", octal for other control characters, and "\x" with at most four hex
// digits for every code unit above 127; it reads raw bytes above 127 as UTF-8.
class EscapedText {
public:
    EscapedText(std::string_view text, std::size_t pos, char close)
        : text_(text), pos_(pos), close_(close) {}

    // The next code unit; nullopt at the closing character or at the end of the line.
    std::optional<char16_t> next() {
        if (low_) {
            char16_t unit = *low_;
            low_.reset();
            return unit;
        }
        if (closed_ || pos_ >= text_.size() || text_[pos_] == '\n')
            return std::nullopt;
        char c = text_[pos_];
        if (c == close_) {
            closed_ = true;
            ++pos_;
            return std::nullopt;
        }
        if (c == '\\' && pos_ + 1 < text_.size() && text_[pos_ + 1] != '\n') {
            // A doubled backslash is every separator of a key path: the common case first.
            if (text_[pos_ + 1] == '\\') {
                pos_ += 2;
                return u'\\';
            }
            ++pos_;
            return escape();
        }
        if (static_cast<unsigned char>(c) < 0x80) {
            ++pos_;
            return static_cast<char16_t>(c);
        }
        return codePoint(decodeUtf8(text_, pos_).value_or(0xFFFD));
    }

    // True once the closing character was met (not the end of the line).
    bool closed() const { return closed_; }
    // Just past the closing character.
    std::size_t position() const { return pos_; }

private:
    std::optional<char16_t> escape() {
        char c = text_[pos_++];
        switch (c) {
        case 'a':
            return u'\a';
        case 'b':
            return u'\b';
        case 'e':
            return char16_t{0x1B};
        case 'f':
            return u'\f';
        case 'n':
            return u'\n';
        case 'r':
            return u'\r';
        case 't':
            return u'\t';
        case 'v':
            return u'\v';
        case 'x': {
            unsigned value = 0;
            int digits = 0;
            for (; digits < 4 && pos_ < text_.size() && hexDigit(text_[pos_]) >= 0; ++digits)
                value = value * 16 + static_cast<unsigned>(hexDigit(text_[pos_++]));
            return digits ? static_cast<char16_t>(value) : u'x';
        }
        default:
            break;
        }
        if (c >= '0' && c <= '7') {
            unsigned value = static_cast<unsigned>(c - '0');
            for (int digits = 1;
                 digits < 3 && pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '7';
                 ++digits)
                value = value * 8 + static_cast<unsigned>(text_[pos_++] - '0');
            return static_cast<char16_t>(value);
        }
        if (static_cast<unsigned char>(c) >= 0x80) {
            --pos_;
            return codePoint(decodeUtf8(text_, pos_).value_or(0xFFFD));
        }
        return static_cast<char16_t>(c);
    }

    char16_t codePoint(char32_t cp) {
        std::u16string units;
        appendUtf16(units, cp);
        if (units.size() == 2)
            low_ = units[1];
        return units[0];
    }

    std::string_view text_;
    std::size_t pos_;
    char close_;
    bool closed_ = false;
    std::optional<char16_t> low_;
};

// The path of a key line, as `normalPath` gives a wanted one but not case-folded: a separator
// only between two components, so that doubled, leading and closing backslashes are dropped.
class KeyLinePath {
public:
    KeyLinePath(std::string_view text, std::size_t pos) : path_(text, pos, ']') {}

    // The next code unit; nullopt at the end of the path.
    std::optional<char16_t> next() {
        if (auto unit = std::exchange(pending_, std::nullopt))
            return unit;
        auto unit = path_.next();
        if (!unit || *unit != u'\\') {
            started_ = started_ || unit;
            return unit;
        }
        while ((unit = path_.next()) && *unit == u'\\') {
        }
        if (!unit || !started_) {
            started_ = started_ || unit;
            return unit;
        }
        pending_ = unit;
        return u'\\';
    }

    // True once the path's closing ']' was met: a line without one names no key.
    bool closed() const { return path_.closed(); }

private:
    EscapedText path_;
    bool started_ = false;
    std::optional<char16_t> pending_;
};

// The components of a key path, case-folded and joined by single backslashes: empty components
// (doubled, leading or closing backslashes) are dropped, as Wine's server does.
std::u16string normalPath(std::u16string_view keyPath) {
    std::u16string out;
    bool separator = false;
    for (char16_t unit : keyPath) {
        if (unit == u'\\') {
            separator = !out.empty();
            continue;
        }
        if (separator)
            out += u'\\';
        separator = false;
        out += foldCase(unit);
    }
    return out;
}

// The form in which wineserver writes a case-folded path that is plain ASCII (each separator
// doubled); empty for a path with other characters, whose escapes may be written in more ways.
std::string plainForm(std::u16string_view path) {
    std::string out;
    for (char16_t unit : path) {
        if (unit >= 0x80 || unit < 0x20 || unit == u'"' || unit == u'[' || unit == u']')
            return {};
        if (unit == u'\\')
            out += '\\';
        out += static_cast<char>(unit);
    }
    return out;
}

// How many bytes from `pos` show that the key line there names neither the path of `plain` nor
// a key below it: at the first difference both sides are plain characters. 0 when its bytes
// alone cannot tell.
std::size_t differsWithin(std::string_view text, std::size_t pos, std::string_view plain) {
    for (std::size_t k = 0; k < plain.size(); ++k) {
        if (pos + k >= text.size())
            return k;
        auto c = static_cast<unsigned char>(text[pos + k]);
        if (c == static_cast<unsigned char>(plain[k]) ||
            (c >= 'A' && c <= 'Z' && c + ('a' - 'A') == plain[k]))
            continue;
        return c != '\\' && c < 0x80 ? k + 1 : 0;
    }
    return 0;
}

// Whether the `n` bytes at `a` and at `b` are equal; eight at a time, as this runs once for
// nearly every key line.
bool sameBytes(const char* a, const char* b, std::size_t n) {
    for (; n >= 8; n -= 8, a += 8, b += 8) {
        std::uint64_t x, y;
        std::memcpy(&x, a, 8);
        std::memcpy(&y, b, 8);
        if (x != y)
            return false;
    }
    for (; n; --n) {
        if (*a++ != *b++)
            return false;
    }
    return true;
}

// The offset of the first key line at or after `pos`, or the text's size. Every key line, and
// only a key line, begins with '[': names and texts stay on one line, and the continuation lines
// of long hex values begin with blanks.
std::size_t nextKeyLine(std::string_view text, std::size_t pos) {
    for (pos = text.find('[', pos); pos != std::string_view::npos; pos = text.find('[', pos + 1)) {
        if (pos == 0 || text[pos - 1] == '\n')
            return pos;
    }
    return text.size();
}

// The line that starts at `pos`, without its end.
std::string_view lineAt(std::string_view text, std::size_t pos) {
    auto end = text.find('\n', pos);
    std::string_view line = text.substr(pos, end == std::string_view::npos ? end : end - pos);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

std::size_t nextLine(std::string_view text, std::size_t pos) {
    auto end = text.find('\n', pos);
    return end == std::string_view::npos ? text.size() : end + 1;
}

void appendUnit(std::vector<unsigned char>& data, char16_t unit) {
    data.push_back(static_cast<unsigned char>(unit & 0xFF));
    data.push_back(static_cast<unsigned char>(unit >> 8));
}

// A quoted text from `pos` (just past its opening quote), as stored: UTF-16LE with its zero.
std::optional<std::vector<unsigned char>> parseText(std::string_view text, std::size_t pos) {
    EscapedText escaped(text, pos, '"');
    std::vector<unsigned char> data;
    while (auto unit = escaped.next())
        appendUnit(data, *unit);
    if (!escaped.closed())
        return std::nullopt;
    appendUnit(data, 0);
    return data;
}

// "hex:01,02,\" with continuation lines that begin with blanks.
std::optional<std::vector<unsigned char>> parseHex(std::string_view text, std::size_t pos) {
    std::vector<unsigned char> data;
    while (pos < text.size()) {
        char c = text[pos];
        if (c == ' ' || c == '\t' || c == ',' || c == '\r') {
            ++pos;
        } else if (c == '\\') {
            // The value goes on over the next line.
            pos = nextLine(text, pos);
        } else if (c == '\n') {
            break;
        } else {
            int high = hexDigit(c);
            int low = pos + 1 < text.size() ? hexDigit(text[pos + 1]) : -1;
            if (high < 0 || low < 0)
                return std::nullopt;
            data.push_back(static_cast<unsigned char>(high * 16 + low));
            pos += 2;
        }
    }
    return data;
}

// A hex number of at most eight digits from `pos`, such as the type in "hex(2):"; moves `pos`
// past it.
std::optional<std::uint32_t> parseNumber(std::string_view text, std::size_t& pos) {
    std::uint32_t value = 0;
    std::size_t start = pos;
    for (; pos < text.size() && hexDigit(text[pos]) >= 0 && pos - start < 8; ++pos)
        value = value * 16 + static_cast<std::uint32_t>(hexDigit(text[pos]));
    if (pos == start)
        return std::nullopt;
    return value;
}

bool startsWith(std::string_view text, std::size_t pos, std::string_view prefix) {
    return text.substr(pos, prefix.size()) == prefix;
}

// The data of a value line from `pos` (just past its '=').
std::optional<RegistryValue> parseData(std::string_view text, std::size_t pos) {
    RegistryValue value;
    if (startsWith(text, pos, "\"")) {
        value.type = kRegSz;
        auto data = parseText(text, pos + 1);
        if (!data)
            return std::nullopt;
        value.data = std::move(*data);
    } else if (startsWith(text, pos, "str(")) {
        pos += 4;
        auto type = parseNumber(text, pos);
        if (!type || !startsWith(text, pos, "):\""))
            return std::nullopt;
        auto data = parseText(text, pos + 3);
        if (!data)
            return std::nullopt;
        value = {*type, std::move(*data)};
    } else if (startsWith(text, pos, "dword:")) {
        pos += 6;
        auto number = parseNumber(text, pos);
        if (!number || !lineAt(text, pos).empty())
            return std::nullopt;
        value.type = kRegDword;
        for (int shift = 0; shift < 32; shift += 8)
            value.data.push_back(static_cast<unsigned char>((*number >> shift) & 0xFF));
    } else if (startsWith(text, pos, "hex:") || startsWith(text, pos, "hex(")) {
        value.type = kRegBinary;
        pos += 4;
        if (text[pos - 1] == '(') {
            auto type = parseNumber(text, pos);
            if (!type || !startsWith(text, pos, "):"))
                return std::nullopt;
            value.type = *type;
            pos += 2;
        }
        auto data = parseHex(text, pos);
        if (!data)
            return std::nullopt;
        value.data = std::move(*data);
    } else {
        return std::nullopt;
    }
    return value;
}

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
