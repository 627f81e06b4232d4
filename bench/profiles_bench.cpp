// Listing the game's profiles from a system.reg as large as a fresh Wine prefix's (1.7 MB),
// against reading the same file in one call; saving the largest profile into that prefix, against
// writing and flushing its bytes twice.
#include "database/database_writer.h"
#include "host/file_io.h"
#include "host/file_write.h"
#include "max_tree.h"
#include "profiles/profile_load_save.h"
#include "profiles/profile_store.h"

#include <benchmark/benchmark.h>
#include <cctype>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <unistd.h>
#include <vector>

namespace {

using namespace quillfen;

constexpr std::size_t kRegistrySize = 1700000;

std::string guid(unsigned n) {
    char text[48];
    std::snprintf(text, sizeof text, "{%08X-%04X-11D0-8C3E-00C04FC2%04X}", n * 2654435761u,
                  n & 0xFFFF, (n * 7) & 0xFFFF);
    return text;
}

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Keys as wineserver writes them in a fresh prefix, sorted as it sorts them: class registrations
// with their servers, file types, long binary values over several lines, the same under
// Wow6432Node, and the game's three profiles among them.
std::string paddedRegistry() {
    const std::string time = " 1796586941\n#time=1dd85bbc6037992\n";
    std::map<std::string, std::string> keys; // by lower-cased path, Wine's order for ASCII
    auto add = [&](const std::string& path, const std::string& values) {
        keys[lower(path)] = "[" + path + "]" + time + values + "\n";
    };
    for (const char* name : {"Alice", "Bob", "Zo\\xeb"})
        add(std::string(
                "Software\\\\Wow6432Node\\\\Visual Sciences\\\\Windows Lemmings\\\\Users\\\\") +
                name,
            "\"DatabaseName\"=\"C:\\\\LEMM\\\\USERS\\\\" + std::string(name) + ".DAT\"\n");
    std::size_t size = 0;
    for (unsigned n = 0; size < kRegistrySize; ++n) {
        std::string view =
            n % 3 == 0 ? "Software\\\\Wow6432Node\\\\Classes" : "Software\\\\Classes";
        std::string clsid = view + "\\\\CLSID\\\\" + guid(n);
        std::vector<std::string> added = {clsid, clsid + "\\\\InprocServer32"};
        add(clsid, "@=\"Wine Component " + std::to_string(n) + "\"\n");
        add(clsid + "\\\\InprocServer32", "@=\"C:\\\\windows\\\\system32\\\\comp" +
                                              std::to_string(n % 97) +
                                              ".dll\"\n\"ThreadingModel\"=\"Both\"\n");
        if (n % 4 == 0) {
            added.push_back(view + "\\\\.ext" + std::to_string(n));
            add(added.back(),
                "@=\"file" + std::to_string(n) + "\"\n\"Content Type\"=\"text/plain\"\n");
        }
        if (n % 8 == 0) {
            added.push_back("Software\\\\Microsoft\\\\Cryptography\\\\Providers\\\\" + guid(n));
            add(added.back(),
                "\"Data\"=hex:01,00,00,00,4c,00,00,00,01,00,00,00,02,00,00,00,00,00,00,00,\\\n"
                "  10,00,00,00,80,00,00,00,00,02,00,00,00,00,00,00,08,00,00,00,00,00,00,\\\n"
                "  00,ff,ff,ff,ff\n\"Flags\"=dword:00000001\n");
        }
        for (const std::string& path : added)
            size += keys[lower(path)].size();
    }
    std::string text = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n"
                       "#arch=win64\n\n";
    for (const auto& [path, key] : keys)
        text += key;
    return text;
}

// A prefix folder holding the padded system.reg, made once.
const std::string& prefix() {
    static const std::string path = [] {
        auto folder = std::filesystem::temp_directory_path() / "quillfen-bench-prefix";
        std::filesystem::create_directories(folder);
        std::ofstream(folder / "system.reg", std::ios::binary) << paddedRegistry();
        return folder.string();
    }();
    return path;
}

// A new store each time, so that every listing reads and scans the file, as the first listing
// after wineserver rewrote it does.
void BM_ListProfiles(benchmark::State& state) {
    std::size_t found = 0;
    for (auto _ : state) {
        WinePrefixStore store(prefix());
        for (const std::string& name : listProfiles(store, kDefaultUsersKeyPath))
            found += store.GetRegValue(profileKeyPath(kDefaultUsersKeyPath, name), "DatabaseName")
                         .size();
    }
    benchmark::DoNotOptimize(found);
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations()) *
        static_cast<std::int64_t>(std::filesystem::file_size(prefix() + "/system.reg")));
}
BENCHMARK(BM_ListProfiles)->Unit(benchmark::kMicrosecond);

void BM_RawReadRegistry(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto read = readWholeFile(prefix() + "/system.reg", std::size_t{64} << 20);
        bytes += read ? read->size() : 0;
    }
    benchmark::DoNotOptimize(bytes);
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
}
BENCHMARK(BM_RawReadRegistry)->Unit(benchmark::kMicrosecond);

// Save Profile Data of the largest profile (8192 records) into Alice's file in the padded prefix:
// the new file and a copy of the old one for the backup, each flushed to the disk and renamed.
void BM_SaveMaxProfile(benchmark::State& state) {
    std::filesystem::path folder = prefix();
    std::filesystem::create_directories(folder / "drive_c" / "LEMM" / "USERS");
    std::filesystem::create_directories(folder / "dosdevices");
    std::error_code ignored;
    std::filesystem::create_directory_symlink("../drive_c", folder / "dosdevices" / "c:", ignored);
    const LevelTree tree = bench::makeMaxTree();
    const auto bytes = encodeDatabase(tree);
    (void)writeFile((folder / "drive_c" / "LEMM" / "USERS" / "Alice.DAT").string(), bytes);
    WinePrefixStore store(prefix());
    bool saved = true;
    for (auto _ : state) {
        auto path = findProfileFile(store, kDefaultUsersKeyPath, "Alice");
        saved = path && SaveProfileData(tree, store, "Alice", *path) && saved;
    }
    if (!saved)
        state.SkipWithError("a save was refused");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_SaveMaxProfile)->Unit(benchmark::kMicrosecond);

// Yardstick: the same bytes written to two new files in one call each, each flushed.
void BM_RawWriteTwiceFlushed(benchmark::State& state) {
    const auto bytes = encodeDatabase(bench::makeMaxTree());
    const std::string path = prefix() + "/raw-write.dat";
    for (auto _ : state) {
        for (int copy = 0; copy < 2; ++copy) {
            int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
            ::fsync(fd);
            ::close(fd);
        }
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_RawWriteTwiceFlushed)->Unit(benchmark::kMicrosecond);

} // namespace
