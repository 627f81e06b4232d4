#include "profiles/wine_registry.h"

#include "database/file_io.h"
#include "profiles/wine_text.h"

#include <algorithm>
#include <sys/stat.h>
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
            ++pos_;
            return escape();
        }
        if (static_cast<unsigned char>(c) < 0x80) {
            ++pos_;
            return static_cast<char16_t>(c);
        }
        return codePoint(decodeUtf8(text_, pos_));
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
            return codePoint(decodeUtf8(text_, pos_));
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
    struct stat info {};
    std::int64_t size = -1, mtime = -1, inode = -1;
    if (::stat(path_.c_str(), &info) == 0) {
        size = info.st_size;
        mtime = std::int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
        inode = static_cast<std::int64_t>(info.st_ino);
    }
    if (size == size_ && mtime == mtime_ && inode == inode_)
        return;
    size_ = size;
    mtime_ = mtime;
    inode_ = inode;
    text_.clear();
    if (size >= 0) {
        auto bytes = readWholeFile(path_, kMaxRegistryFile);
        if (bytes)
            text_.assign(bytes->begin(), bytes->end());
    }
    index();
}

void WineRegistry::index() {
    found_.clear();
    keyLines_.clear();
    win64_ = false;
    std::string_view text = text_;
    // Every key line, and only a key line, begins with '[': names and texts are on one line,
    // and the continuation lines of long hex values begin with blanks.
    for (std::size_t pos = text.find('['); pos != std::string_view::npos;
         pos = text.find('[', pos + 1)) {
        if (pos == 0 || text[pos - 1] == '\n')
            keyLines_.push_back(pos);
    }
    std::size_t header = keyLines_.empty() ? text.size() : keyLines_.front();
    for (std::size_t pos = 0; pos < header; pos = nextLine(text, pos)) {
        if (lineAt(text, pos) == "#arch=win64")
            win64_ = true;
    }
}

const WineRegistry::Key* WineRegistry::find(std::u16string_view keyPath) {
    std::u16string wanted = normalPath(keyPath);
    auto known = found_.find(wanted);
    if (known != found_.end())
        return known->second ? &*known->second : nullptr;

    Key key;
    bool exists = wanted.empty(); // the hive's root
    for (std::size_t i = 0; i < keyLines_.size(); ++i) {
        EscapedText path(text_, keyLines_[i] + 1, ']');
        std::size_t matched = 0;
        std::optional<char16_t> unit;
        while (matched < wanted.size() && (unit = path.next()) &&
               foldCase(*unit) == wanted[matched])
            ++matched;
        if (matched < wanted.size())
            continue;
        // Past the wanted path: the key itself ends here, or one of its subkeys begins.
        unit = path.next();
        if (!unit) {
            if (path.closed()) {
                key.lines.push_back(i);
                exists = true;
            }
            continue;
        }
        std::u16string child;
        if (wanted.empty())
            child += *unit;
        else if (*unit != u'\\')
            continue; // a sibling whose name goes on, such as "Users2"
        while ((unit = path.next()) && *unit != u'\\')
            child += *unit;
        if (!child.empty()) {
            key.subkeys.push_back(std::move(child));
            exists = true;
        }
    }

    // Wine enumerates subkeys sorted without regard to case; one key has one name, the first
    // spelling met.
    std::stable_sort(key.subkeys.begin(), key.subkeys.end(), lessWithoutCase);
    key.subkeys.erase(std::unique(key.subkeys.begin(), key.subkeys.end(), equalWithoutCase),
                      key.subkeys.end());
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
    std::string_view text = text_;
    std::optional<RegistryValue> result;
    for (std::size_t line : key->lines) {
        std::size_t end = line + 1 < keyLines_.size() ? keyLines_[line + 1] : text.size();
        for (std::size_t pos = nextLine(text, keyLines_[line]); pos < end;
             pos = nextLine(text, pos)) {
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
