#pragma once

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

namespace quillfen::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
#ifdef _WIN32
        // Windows has no mkdtemp: a name of the clock's and a count's, made anew until it is new.
        static unsigned made = 0;
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        do {
            path_ = std::filesystem::temp_directory_path() /
                    ("quillfen-test-" + std::to_string(stamp) + "-" + std::to_string(++made));
        } while (!std::filesystem::create_directory(path_));
#else
        std::string pattern =
            (std::filesystem::temp_directory_path() / "quillfen-test-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
#endif
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const {
        return path_;
    }
    std::string file(const std::string& name) const {
        return (path_ / name).string();
    }

private:
    std::filesystem::path path_;
};

inline std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, std::span<const unsigned char> bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

} // namespace quillfen::testing
