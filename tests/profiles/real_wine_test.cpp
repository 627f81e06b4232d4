// The store against a prefix that Wine itself wrote with `wine reg add`: its escapes, its order
// of keys and its two registry views, as a real system.reg holds them.
#include "cli/run_cli.h"
#include "hand_prefix.h"
#include "host/file_io.h"
#include "profiles/profile_load_save.h"
#include "profiles/profile_store.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/wait.h>

namespace quillfen {
namespace {

using testing::Names;

const std::string kLong(2100, 'L'), kFits = "C:\\" + std::string(2044, 'F');

// Runs a Wine program of the prefix and gives its exit status. Mono and Gecko are kept from
// being offered to the new prefix; the command line's names are UTF-8.
int runWine(const std::string& prefix, const std::vector<std::string>& args) {
    std::string command = "env -u DISPLAY WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= "
                          "LANG=C.UTF-8 WINEPREFIX=" +
                          testing::shellQuote(prefix);
    // Appended piece by piece: GCC 12 at -O3 takes "literal" + std::string for overlapping copies.
    for (const std::string& arg : args)
        command.append(" ").append(testing::shellQuote(arg));
    int status = std::system((command + " </dev/null >/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Adds a profile key as the game's installer would, in the 32-bit view unless `view64`: its
// "DatabaseName", or another value when `databaseName` is empty.
void addProfile(const std::string& prefix, const std::string& key, const std::string& databaseName,
                bool view64 = false) {
    std::vector<std::string> args = {"wine", "reg", "add", key, "/v"};
    if (databaseName.empty())
        args.insert(args.end(), {"Other", "/d", "x", "/f"});
    else
        args.insert(args.end(), {"DatabaseName", "/t", "REG_SZ", "/d", databaseName, "/f"});
    if (!view64)
        args.push_back("/reg:32");
    ASSERT_EQ(runWine(prefix, args), 0) << key;
}

// Making a prefix takes Wine ten seconds or more, so one test does everything with it.
TEST(RealWinePrefix, TheStoreListsAndFindsWhatWineWrote) {
    testing::TempDir dir;
    const std::string prefix = dir.file("prefix"), users = kDefaultUsersKeyPath,
                      key = "HKLM\\Software\\Visual Sciences\\Windows Lemmings\\Users\\";
    // Names and paths in UTF-8, as typed on the command line.
    for (auto [name, databaseName] : std::vector<std::pair<std::string, std::string>>{
             {"Alice", "C:\\LEMM\\USERS\\ALICE.DAT"},
             {"Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m", "C:\\LEMM\\USERS\\ZO\xC3\x8B.DAT"},
             {"say \"hi\" [x]", "C:\\LEMM\\USERS\\Q\"X.DAT"},
             {"bob", "C:\\LEMM\\USERS\\BOB.DAT"},
             {"\xCE\xA9mega \xE2\x82\xAC", "C:\\OMEGA.DAT"},
             {"No DatabaseName", ""},
             {"Long", kLong},
             {"Fits", kFits}})
        addProfile(prefix, key + name, databaseName);
    addProfile(prefix, key + "Sixty-four", "C:\\64.DAT", true);
    addProfile(prefix, "HKLM\\Software\\Quillfen Test\\Users\\Native", "C:\\NATIVE.DAT", true);
    // wineserver writes system.reg when it exits.
    ASSERT_EQ(runWine(prefix, {"wineserver", "-w"}), 0);

    WinePrefixStore store(prefix);
    // In Wine's order, without regard to case, in UTF-8; the profile of the 64-bit view is not
    // seen, and a value past 2047 characters is not found.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Alice", "C:\\LEMM\\USERS\\ALICE.DAT"},
        {"bob", "C:\\LEMM\\USERS\\BOB.DAT"},
        {"Fits", kFits},
        {"Long", kNotFound},
        {"No DatabaseName", kNotFound},
        {"say \"hi\" [x]", "C:\\LEMM\\USERS\\Q\"X.DAT"},
        {"Zo\xC3\xAB \xC3\x85ngstr\xC3\xB6m", "C:\\LEMM\\USERS\\ZO\xC3\x8B.DAT"},
        {"\xCE\xA9mega \xE2\x82\xAC", "C:\\OMEGA.DAT"}};
    std::vector<std::pair<std::string, std::string>> found;
    for (const std::string& name : listProfiles(store, users))
        found.emplace_back(name, store.GetRegValue(profileKeyPath(users, name), "DatabaseName"));
    EXPECT_EQ(found, expected);
    // A key only in the 64-bit view is still found, as the path was given.
    EXPECT_EQ(listProfiles(store, "SOFTWARE\\Quillfen Test\\Users"), Names{"Native"});

    // A profile's file is reached through the prefix's own c: drive; the paths themselves are
    // read as Windows reads them (wine_paths_test.cpp).
    testing::writeBytes(prefix + "/drive_c/OMEGA.DAT", std::vector<unsigned char>(7));
    auto omega = GetDatabaseFile(store, users, "\xCE\xA9mega \xE2\x82\xAC");
    ASSERT_TRUE(omega) << omega.error();
    EXPECT_EQ(pathInfo(store.hostPath(*omega))->size, 7u);
}

} // namespace
} // namespace quillfen
