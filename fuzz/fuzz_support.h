#pragma once

#include <cstdio>
#include <cstdlib>
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

// A folder of this process, made at the first call, for the files a target reads.
inline const std::string& workFolder() {
    static const std::string folder = [] {
        std::string name = "/tmp/quillfen-fuzz-XXXXXX";
        require(::mkdtemp(name.data()) != nullptr, "a temporary folder can be made");
        return name;
    }();
    return folder;
}

inline void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    require(static_cast<bool>(out), "the input file can be written");
}

} // namespace quillfen::fuzz
