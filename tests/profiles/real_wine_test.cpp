// The store against a prefix that Wine itself wrote with `wine reg add`: it must list and find
// what `wine reg query` reports, in both registry views.
#include "cli/run_cli.h"
#include "common/windows1252.h"
#include "hand_prefix.h"
#include "profiles/profile_commands.h"
#include "profiles/profile_store.h"
#include "scripted_user_interface.h"

#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <sys/wait.h>

namespace quillfen {
namespace {

constexpr char kUsersKey[] = "HKLM\\Software\\Visual Sciences\\Windows Lemmings\\Users";

struct WineProfile {
    std::string name;                        // UTF-8, as typed on the command line
    std::optional<std::string> databaseName; // none: the key holds another value only
    bool view32 = true;                      // added with /reg:32
};

const std::string kLong(2100, 'L'), kFits = "C:\\" + std::string(2044, 'F');

const std::vector<WineProfile> kProfiles = {
    {"Alice", "C:\\LEMM\\USERS\\ALICE.DAT"},
    {"Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m", "C:\\LEMM\\USERS\\ZO\xC3\x8B.DAT"},
    {"say \"hi\" [x]", "C:\\LEMM\\USERS\\Q\"X.DAT"},
    {"MiXeD cAsE", "c:\\lemm\\users\\mixed.dat"},
    {"bob", "C:\\LEMM\\USERS\\BOB.DAT"},
    // No Windows-1252 byte for the omega: listed as "?mega", and a 32-bit program cannot open it.
    {"\xCE\xA9mega \xE2\x82\xAC", "C:\\OMEGA.DAT"},
    {"No DatabaseName", std::nullopt},
    {"Long", kLong},
    {"Fits", kFits},
    {"Sixty-four", "C:\\LEMM\\USERS\\64.DAT", false},
};

// Runs a Wine program of the prefix and gives its exit status and what it printed. Mono and
// Gecko are kept from being offered to the new prefix; the command line's names are UTF-8.
std::pair<int, std::string> runWine(const std::string& prefix, std::vector<std::string> args) {
    std::string command = "env -u DISPLAY WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= "
                          "LANG=C.UTF-8 WINEPREFIX=" +
                          testing::shellQuote(prefix);
    // Appended piece by piece: GCC 12 at -O3 takes "literal" + std::string for overlapping copies.
    for (const std::string& arg : args)
        command.append(" ").append(testing::shellQuote(arg));
    FILE* pipe = ::popen((command + " </dev/null").c_str(), "r");
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        text.append(buffer, n);
    int status = ::pclose(pipe);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text};
}

// Adds a profile key as the game's installer would, in the 32-bit view or the native one.
void addProfile(const std::string& prefix, const WineProfile& profile,
                const std::string& key = kUsersKey) {
    std::vector<std::string> args = {"wine", "reg", "add", key + "\\" + profile.name, "/v"};
    if (profile.databaseName)
        args.insert(args.end(), {"DatabaseName", "/t", "REG_SZ", "/d", *profile.databaseName});
    else
        args.insert(args.end(), {"Other", "/d", "x"});
    args.push_back("/f");
    if (profile.view32)
        args.push_back("/reg:32");
    ASSERT_EQ(runWine(prefix, args).first, 0) << profile.name;
}

// `wine reg query` prints in the console's OEM code page, the store gives Windows-1252: the two
// agree on ASCII, and every other character (or "?" for one without a byte) stands for one.
bool sameText(const std::string& oem, const std::string& ansi) {
    if (oem.size() != ansi.size())
        return false;
    for (std::size_t i = 0; i < oem.size(); ++i) {
        auto a = static_cast<unsigned char>(oem[i]), b = static_cast<unsigned char>(ansi[i]);
        if (a != b && a < 0x80 && b < 0x80 && a != '?' && b != '?')
            return false;
    }
    return true;
}

// What `wine reg query KEY /s` reports of each subkey below `key`: its name and the
// "DatabaseName" it holds, if any, in the order listed.
using Report = std::vector<std::pair<std::string, std::optional<std::string>>>;

Report regQuery(const std::string& prefix, const std::string& key, bool view32) {
    std::vector<std::string> args = {"wine", "reg", "query", key, "/s"};
    if (view32)
        args.push_back("/reg:32");
    Report report;
    const std::string head = "HKEY_LOCAL_MACHINE" + key.substr(4) + "\\";
    const std::string value = "    DatabaseName    REG_SZ    ";
    std::istringstream text(runWine(prefix, args).second);
    for (std::string line; std::getline(text, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind(head, 0) == 0)
            report.push_back({line.substr(head.size()), std::nullopt});
        else if (line.rfind(value, 0) == 0 && !report.empty())
            report.back().second = line.substr(value.size());
    }
    return report;
}

// Making a prefix takes Wine ten seconds or more, so one test does everything with it.
class RealWinePrefix : public ::testing::Test {
protected:
    void SetUp() override {
        for (const WineProfile& profile : kProfiles)
            addProfile(prefix, profile);
        addProfile(prefix, {"Native", "C:\\NATIVE.DAT", false},
                   "HKLM\\Software\\Quillfen Test\\Users");
        // Asked while wineserver still runs, which saves starting it again.
        reported = regQuery(prefix, kUsersKey, true);
        reportedNative = regQuery(prefix, "HKLM\\Software\\Quillfen Test\\Users", false);
        // wineserver writes system.reg when it exits.
        ASSERT_EQ(runWine(prefix, {"wineserver", "-w"}).first, 0);
    }
    void TearDown() override { runWine(prefix, {"wineserver", "-k"}); }

    testing::TempDir dir;
    std::string prefix = dir.file("prefix");
    Report reported, reportedNative;
};

TEST_F(RealWinePrefix, TheStoreListsAndFindsWhatWineRegQueryReports) {
    WinePrefixStore store(prefix);
    ScriptedUserInterface ui;
    auto listed = LoadProfiles(store, kDefaultUsersKeyPath, ui);
    ASSERT_EQ(listed.size(), kProfiles.size() - 1); // all but the one of the 64-bit view
    ASSERT_EQ(listed.size(), reported.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const auto& [name, value] = reported[i];
        EXPECT_TRUE(sameText(name, listed[i]))
            << i << ": " << windows1252ToUtf8(listed[i]) << " / " << name;
        std::string stored =
            store.GetRegValue(profileKeyPath(kDefaultUsersKeyPath, listed[i]), "DatabaseName");
        bool omega = listed[i].starts_with("?");
        if (!value || omega || value == kLong) {
            // Not there, or what the ANSI calls cannot give: a key whose name has no bytes, or a
            // value past 2047 characters.
            EXPECT_EQ(stored, kNotFound) << name;
        } else {
            EXPECT_TRUE(sameText(*value, stored))
                << name << ": " << windows1252ToUtf8(stored) << " / " << *value;
        }
    }
    EXPECT_EQ(GetDatabaseFile(store, kDefaultUsersKeyPath, "Fits", ui), kFits);
    EXPECT_EQ(GetDatabaseFile(store, kDefaultUsersKeyPath, "Zo\xEB \xC5ngstr\xF6m", ui),
              "C:\\LEMM\\USERS\\ZO\xCB.DAT");

    // A key only in the 64-bit view is still found, as the path was given.
    EXPECT_EQ(LoadProfiles(store, "SOFTWARE\\Quillfen Test\\Users", ui),
              std::vector<std::string>{"Native"});
    ASSERT_EQ(reportedNative.size(), 1u);
    EXPECT_EQ(reportedNative[0].first, "Native");

    // A profile that Wine adds while the store is open shows at the next listing, and its file
    // is reached through the prefix's own c: drive.
    addProfile(prefix, {"Carol", "C:\\LEMM\\USERS\\CAROL.DAT"});
    ASSERT_EQ(runWine(prefix, {"wineserver", "-w"}).first, 0);
    auto after = LoadProfiles(store, kDefaultUsersKeyPath, ui);
    ASSERT_EQ(after.size(), listed.size() + 1);
    EXPECT_EQ(after[2], "Carol"); // after "Alice" and "bob"
    auto path = std::filesystem::path(prefix) / "drive_c" / "LEMM" / "USERS" / "CAROL.DAT";
    std::filesystem::create_directories(path.parent_path());
    auto bytes = encodeDatabase(testing::sampleTree("CAROL"));
    testing::writeBytes(path.string(), bytes);
    EditorState state;
    state.usersKeyPath = kDefaultUsersKeyPath;
    ASSERT_TRUE(LoadProfile(state, store, "Carol", ui)) << ui.messages.back();
    EXPECT_EQ(encodeDatabase(state.tree), bytes);
}

} // namespace
} // namespace quillfen
