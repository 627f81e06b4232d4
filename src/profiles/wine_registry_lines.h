#pragma once

// The lines of a system.reg as wineserver writes them: key lines ("[path] time") and the value
// lines below each ("name"=data), read in place from the file's text.

#include "profiles/wine_registry.h"
#include "profiles/wine_registry_escapes.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quillfen {

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
std::u16string normalPath(std::u16string_view keyPath);

// The form in which wineserver writes a case-folded path that is plain ASCII (each separator
// doubled); empty for a path with other characters, whose escapes may be written in more ways.
std::string plainForm(std::u16string_view path);

// How many bytes from `pos` show that the key line there names neither the path of `plain` nor
// a key below it: at the first difference both sides are plain characters. 0 when its bytes
// alone cannot tell.
std::size_t differsWithin(std::string_view text, std::size_t pos, std::string_view plain);

// Whether the `n` bytes at `a` and at `b` are equal; eight at a time, as this runs once for
// nearly every key line.
bool sameBytes(const char* a, const char* b, std::size_t n);

// The offset of the first key line at or after `pos`, or the text's size. Every key line, and
// only a key line, begins with '[': names and texts stay on one line, and the continuation lines
// of long hex values begin with blanks.
std::size_t nextKeyLine(std::string_view text, std::size_t pos);

// The line that starts at `pos`, without its end.
std::string_view lineAt(std::string_view text, std::size_t pos);

// The offset of the line after the one at `pos`, or the text's size.
std::size_t nextLine(std::string_view text, std::size_t pos);

// The data of a value line from `pos` (just past its '='): a quoted text, "str(N):", "dword:"
// or "hex:" and "hex(N):" bytes that may go on over lines. nullopt when it is none of these
// written whole.
std::optional<RegistryValue> parseData(std::string_view text, std::size_t pos);

} // namespace quillfen
