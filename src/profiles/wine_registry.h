#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillfen {

// Registry value types, as Windows numbers them.
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// A value as the registry holds it: texts as UTF-16LE bytes with their terminating zero.
struct RegistryValue {
    std::uint32_t type = 0;
    std::vector<unsigned char> data;
};

// One hive file of a Wine prefix (system.reg), in the text format wineserver writes: key lines
// in brackets relative to the hive, then the key's values. Key paths are texts with components
// separated by backslashes, matched without regard to case. The file is read whole and kept;
// lookups scan only its key lines, so a listing costs little more than reading the file.
class WineRegistry {
public:
    explicit WineRegistry(std::string path);

    // Reads the file again when its size, time or identity changed since the last read. A file
    // that is missing or cannot be read counts as a registry without keys.
    void refresh();

    // Why the file, which is there, could not be read at the last refresh; empty when it was.
    const std::string& readError() const { return readError_; }

    // Whether the file says it belongs to a 64-bit prefix ("#arch=win64").
    bool win64() const { return win64_; }

    // A key exists when it has a line of its own, or when keys below it have.
    bool exists(std::u16string_view keyPath);
    // The names of the key's direct subkeys in the order Wine enumerates them; nullopt when the
    // key does not exist.
    std::optional<std::vector<std::u16string>> subkeys(std::u16string_view keyPath);
    // A value of the key, found without regard to case; the empty name is the default value.
    std::optional<RegistryValue> value(std::u16string_view keyPath, std::u16string_view name);

private:
    struct Key {
        std::vector<std::u16string> subkeys;
        // Offsets of the lines that name this key itself.
        std::vector<std::size_t> lines;
    };
    const Key* find(std::u16string_view keyPath);
    void index();

    std::string_view text() const {
        return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
    }

    std::string path_;
    std::vector<unsigned char> bytes_;
    std::string readError_;
    bool win64_ = false;
    // What the file looked like when it was read, to tell when it changed.
    std::int64_t size_ = -1, mtime_ = -1, inode_ = -1;
    // Keys looked up since the last read, by their case-folded path.
    std::map<std::u16string, std::optional<Key>> found_;
};

} // namespace quillfen
