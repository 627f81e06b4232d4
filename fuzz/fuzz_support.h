#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace quillfen::fuzz {

// A broken promise is a crash, so that libFuzzer keeps the input that shows it.
inline void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

// A folder of this process, made at the first call, for the files a target reads; removed with
// what it holds when the process ends normally (as libFuzzer's runs end).
inline const std::string& workFolder() {
    struct Folder {
        std::string path = "/tmp/quillfen-fuzz-XXXXXX";
        Folder() { require(::mkdtemp(path.data()) != nullptr, "a temporary folder can be made"); }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static const Folder folder;
    return folder.path;
}

inline void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    require(static_cast<bool>(out), "the input file can be written");
}

} // namespace quillfen::fuzz
