// prefixes, profiles, load, save, demo-prefix: the game's profiles in Wine prefixes.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/demo.h"
#include "cli/printing_user_interface.h"
#include "common/windows1252.h"
#include "database/database_writer.h"
#include "host/file_io.h"
#include "host/file_write.h"
#include "levelfile/level_maker.h"
#include "profiles/prefix_discovery.h"
#include "profiles/profile_load_save.h"
#include "profiles/profile_store.h"
#ifdef _WIN32
#include "profiles/windows_registry_store.h"
#endif

#include <array>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <memory>
#include <optional>
#include <span>

namespace quillfen::cli {

std::unique_ptr<ProfileStore> openStore(const CommandLine& line) {
#ifdef _WIN32
    if (!line.has("--prefix"))
        return std::make_unique<WindowsRegistryStore>();
#endif
    return std::make_unique<WinePrefixStore>(
        line.value("--prefix", WinePrefixStore::defaultPrefix()));
}

int prefixesCommand(const Args& args) {
    auto line = parseCommandLine(args, 0, {kKeyOption});
    if (!line)
        return kUsage;
    auto key = windows1252(line->value("--key", kDefaultUsersKeyPath));
    if (!key)
        return kRefused;
    const char* home = std::getenv("HOME");
    const char* winePrefix = std::getenv("WINEPREFIX");
    auto found = findWinePrefixes(home ? home : "", winePrefix ? winePrefix : "", *key);
    // Host paths are UTF-8 already, so they are printed as they are.
    for (const FoundPrefix& prefix : found)
        std::cout << prefix.path << "\t" << prefix.launcher << "\t" << prefix.profiles.size()
                  << "\n";
    return found.empty() ? refuse(kNoWinePrefixes) : kDone;
}

int profilesCommand(const Args& args) {
    auto line = parseCommandLine(args, 0, {kPrefixOption, kKeyOption});
    if (!line)
        return kUsage;
    auto key = windows1252(line->value("--key", kDefaultUsersKeyPath));
    if (!key)
        return kRefused;
    auto store = openStore(*line);
    auto names = LoadProfiles(*store, *key);
    if (!names)
        return refuse(names.error());
    // The registry's texts are UTF-8 already.
    for (const std::string& name : *names)
        std::cout << name << "\t" << store->GetRegValue(profileKeyPath(*key, name), "DatabaseName")
                  << "\n";
    return kDone;
}

int loadCommand(const Args& args) {
    auto line = parseCommandLine(args, 1, {kPrefixOption, kKeyOption, {"--json"}});
    if (!line)
        return kUsage;
    EditorSession session(openStore(*line));
    if (!session.loadProfile(*line, line->words[0]))
        return kRefused;
    printTree(session.editor.state(), line->has("--json"));
    return kDone;
}

int saveCommand(const Args& args) {
    auto line = parseCommandLine(args, 2, {kPrefixOption, kKeyOption});
    if (!line)
        return kUsage;
    auto key = windows1252(line->value("--key", kDefaultUsersKeyPath));
    if (!key)
        return kRefused;
    EditorSession session(openStore(*line));
    if (auto loaded = session.editor.openFile(line->words[1]); !loaded)
        return refuse(loaded.error());
    session.editor.setUsersKeyPath(*key);
    return session.editor.saveProfile(line->words[0]).done ? kDone : kRefused;
}

namespace {

struct DemoProfile {
    const char* name; // as system.reg writes it
    const char* file; // below drive_c
    const char* windowsPath;
};

constexpr std::array<DemoProfile, 3> kDemoProfiles = {{
    {"Alice", "LEMM/USERS/ALICE.DAT", "C:\\\\LEMM\\\\USERS\\\\ALICE.DAT"},
    {"Bob", "LEMM/USERS/BOB.DAT", "C:\\\\LEMM\\\\USERS\\\\BOB.DAT"},
    {"Zo\\xeb", "LEMM/USERS/ZOE.DAT", "C:\\\\LEMM\\\\USERS\\\\ZOE.DAT"},
}};

struct DemoLevelFile {
    const char* folder; // its group's folder of LEVEL; none for a level no profile has
    const char* file;
    const char* title;
    std::array<unsigned char, levelfile::kCountsCount> counts;
};

// The level files the demo profiles name (in their groups' folders, makeDemoTree's), and two
// that no profile uses yet.
constexpr std::array<DemoLevelFile, 10> kDemoLevels = {{
    {"CUST", "tunnel.lvl", "Tunnel Vision", {40, 2, 2, 0, 1, 10, 3, 0, 2}},
    {"CUST", "gap.lvl", "Mind the Gap", {20, 0, 5, 0, 0, 15, 0, 0, 0}},
    {"CUST", "stairs.lvl", "Stairway to Nowhere", {50, 0, 0, 2, 2, 20, 0, 1, 0}},
    {"CUST", "bashst.lvl", "Bash Street", {60, 0, 0, 0, 4, 5, 10, 0, 0}},
    {"CUST", "cliff.lvl", "Cliffhanger", {10, 10, 10, 0, 0, 2, 0, 0, 0}},
    {"QFEN", "dig.lvl", "Dig for Victory", {80, 0, 0, 5, 0, 0, 0, 5, 20}},
    {"QFEN", "float.lvl", "Floating Point", {30, 0, 30, 0, 0, 0, 0, 0, 0}},
    {"QFEN", "blocker.lvl", "Blocker Bay", {100, 0, 0, 10, 10, 5, 5, 5, 5}},
    {nullptr, "spare1.lvl", "Upside Down Town", {25, 5, 5, 5, 5, 5, 5, 5, 5}},
    {nullptr, "spare2.lvl", "The Long Walk Home", {70, 1, 1, 1, 1, 40, 1, 1, 1}},
}};

// Each demo profile a little different from the others.
LevelTree demoTree(std::size_t profile) {
    LevelTree tree = makeDemoTree();
    if (profile == 1)
        tree.remove(tree.topLevel().back());
    if (profile == 2)
        tree.setText(tree.topLevel().front()->child(0), "ZO\xCB'S SET");
    return tree;
}

// A key line as wineserver writes it, with its modification time in seconds since 1970 and as a
// FILETIME in hex.
std::string keyLine(const std::string& path, std::time_t now) {
    auto filetime = (static_cast<unsigned long long>(now) + 11644473600ULL) * 10000000ULL;
    char time[32];
    std::snprintf(time, sizeof time, "%llx", filetime);
    return "[" + path + "] " + std::to_string(now) + "\n#time=" + time + "\n";
}

std::string demoRegistry() {
    std::time_t now = std::time(nullptr);
    std::string text = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n"
                       "#arch=win64\n\n";
    text += keyLine("Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion", now) +
            "\"CurrentVersion\"=\"6.3\"\n\"ProductName\"=\"Microsoft Windows 10\"\n"
            "\"SystemRoot\"=\"C:\\\\windows\"\n\n";
    for (const DemoProfile& profile : kDemoProfiles)
        text += keyLine(std::string("Software\\\\Wow6432Node\\\\Visual Sciences\\\\Windows "
                                    "Lemmings\\\\Users\\\\") +
                            profile.name,
                        now) +
                "\"DatabaseName\"=\"" + profile.windowsPath + "\"\n\n";
    return text;
}

// One thing demo-prefix makes: a file with its bytes, a symbolic link to `link`, or a folder.
struct DemoEntry {
    std::string path;
    std::vector<unsigned char> bytes = {};
    std::string link = {};
    bool folder = false;
};

// Everything demo-prefix makes, in order: the drive links, the profiles, the game's folder
// C:\LEMM (each group's level files in LEVEL\<folder>, an empty STYLES), the folder of level
// files to add from (all of them, the two that no profile has too), and last the registry that
// makes the folder a prefix.
std::vector<DemoEntry> demoEntries(const std::string& prefix) {
    std::vector<DemoEntry> entries;
#ifndef _WIN32
    // Windows makes no links to folders without rights a user seldom has; Wine makes a prefix's
    // drive links itself when it first finds none.
    entries.push_back({prefix + "/dosdevices/c:", {}, "../drive_c"});
    entries.push_back({prefix + "/dosdevices/z:", {}, "/"});
#endif
    for (std::size_t i = 0; i < kDemoProfiles.size(); ++i)
        entries.push_back(
            {prefix + "/drive_c/" + kDemoProfiles[i].file, encodeDatabase(demoTree(i))});
    const std::string lemm = prefix + "/drive_c/LEMM";
    for (const DemoLevelFile& level : kDemoLevels)
        if (level.folder)
            entries.push_back({lemm + "/LEVEL/" + level.folder + "/" + level.file,
                               levelfile::makeLevel(level.title, level.counts)});
    entries.push_back({lemm + "/LEVEL/NEW", {}, {}, true});
    entries.push_back({lemm + "/STYLES", {}, {}, true});
    for (const DemoLevelFile& level : kDemoLevels)
        entries.push_back(
            {lemm + "/LEVELS/" + level.file, levelfile::makeLevel(level.title, level.counts)});
    std::string registry = demoRegistry();
    entries.push_back({prefix + "/system.reg", {registry.begin(), registry.end()}});
    return entries;
}

// Whether `entry` stands at its path as demo-prefix makes it: left by a run that stopped.
bool madeBefore(const DemoEntry& entry, const PathInfo& there) {
    if (!entry.link.empty()) {
        const std::string& link = entry.link;
        auto same =
            sameFile(entry.path, link[0] == '/' ? link : pathIn(folderOf(entry.path), link));
        return there.kind == EntryKind::Link && same && *same;
    }
    if (entry.folder || there.kind != EntryKind::File)
        return entry.folder && there.kind == EntryKind::Folder;
    auto bytes = readWholeFile(entry.path, entry.bytes.size());
    return bytes && *bytes == entry.bytes;
}

} // namespace

int demoPrefixCommand(const Args& args) {
    auto line = parseCommandLine(args, 1);
    if (!line)
        return kUsage;
    const std::string& prefix = line->words[0];
    // Host paths are UTF-8 already, so they are printed as they are.
    std::vector<DemoEntry> entries = demoEntries(prefix);
    // Never write over a real prefix's registry, nor over any file a player may have made. What
    // a run that stopped half way made is taken as made, so that running it again completes it.
    std::vector<const DemoEntry*> toMake;
    for (const DemoEntry& entry : entries) {
        auto there = pathInfo(entry.path, false);
        if (there && there->kind == EntryKind::Missing) {
            toMake.push_back(&entry);
            continue;
        }
        if (entry.path == entries.back().path) {
            std::cerr << "ERROR: " << prefix
                      << " already holds a system.reg; choose a new folder\n";
            return kRefused;
        }
        if (!there || !madeBefore(entry, *there)) {
            std::cerr << "ERROR: " << entry.path
                      << " is already there; nothing was written: choose a new folder\n";
            return kRefused;
        }
    }
    for (const DemoEntry* entry : toMake) {
        Status made = makeFolder(entry->folder ? entry->path : folderOf(entry->path));
        if (made && !entry->folder)
            made = entry->link.empty() ? writeFile(entry->path, entry->bytes, {.mustBeNew = true})
                                       : makeLink(entry->link, entry->path);
        if (!made) {
            std::cerr << couldNotWrite(entry->path, made.error())
                      << "; what was made stays, and demo-prefix completes it when run again\n";
            return kRefused;
        }
    }
    return kDone;
}

} // namespace quillfen::cli
