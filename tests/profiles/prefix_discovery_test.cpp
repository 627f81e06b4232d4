// Finding the Wine prefixes that launchers make in a home folder, and `quillfen-cli prefixes`.
#include "cli/run_cli.h"
#include "hand_prefix.h"
#include "profiles/prefix_discovery.h"

#include <cstdlib>

namespace quillfen {
namespace {

namespace fs = std::filesystem;
using testing::Names;
using testing::profileKey;

// A home folder in which prefixes are written at the places launchers put them.
class PrefixHomeTest : public ::testing::Test {
protected:
    // A prefix at `relative` below the home folder whose registry holds `profiles`.
    void prefix(const std::string& relative, const Names& profiles) {
        std::string keys;
        for (const std::string& name : profiles)
            keys += profileKey(name, R"(C:\\LEMM\\USERS\\)" + name + ".DAT");
        fs::create_directories(path(relative));
        std::ofstream(path(relative) + "/system.reg", std::ios::binary)
            << testing::wineRegistryText(keys);
    }

    std::string path(const std::string& relative) const { return home.file(relative); }

    testing::TempDir home;
};

TEST_F(PrefixHomeTest, EachLaunchersPrefixesWithProfilesAreFoundOnceInAStableOrder) {
    prefix("custom", {"Alice"});
    prefix(".wine", {"Bob"});
    prefix("Games/lemmings", {"Carol", "Dan"});
    prefix("Games/other-game", {});
    prefix("Games/gog-lemmings/prefix", {"Eve"});
    fs::create_directories(path("Games/no-registry/drive_c"));
    fs::create_directory_symlink(path("Games/loop"), path("Games/loop"));
    fs::create_directories(path("Games/locked"));
    fs::permissions(path("Games/locked"), fs::perms::none);
    prefix(".local/share/bottles/bottles/Lemmings", {"Fay"});
    prefix(".var/app/com.usebottles.bottles/data/bottles/bottles/Games", {"Gus"});
    prefix(".PlayOnLinux/wineprefix/WinLemm", {"Hal"});
    prefix(".local/share/wineprefixes/b-lemm", {"Ida"});
    // The Lutris prefix again, through a link.
    fs::create_directory_symlink(path("Games/lemmings"), path(".local/share/wineprefixes/a-dup"));

    using P = FoundPrefix;
    std::vector<FoundPrefix> expected = {
        P{path("custom"), "WINEPREFIX", {"Alice"}},
        P{path(".wine"), "Wine", {"Bob"}},
        P{path("Games/gog-lemmings/prefix"), "Lutris", {"Eve"}},
        P{path("Games/lemmings"), "Lutris", {"Carol", "Dan"}},
        P{path(".local/share/bottles/bottles/Lemmings"), "Bottles", {"Fay"}},
        P{path(".var/app/com.usebottles.bottles/data/bottles/bottles/Games"),
          "Bottles (Flatpak)",
          {"Gus"}},
        P{path(".PlayOnLinux/wineprefix/WinLemm"), "PlayOnLinux", {"Hal"}},
        P{path(".local/share/wineprefixes/b-lemm"), "wineprefixes", {"Ida"}},
    };
    EXPECT_EQ(findWinePrefixes(home.path().string(), path("custom"), kDefaultUsersKeyPath),
              expected);

    // $WINEPREFIX naming ~/.wine another way lists it once, as $WINEPREFIX.
    auto found = findWinePrefixes(home.path().string(), path(".wine") + "/", kDefaultUsersKeyPath);
    ASSERT_EQ(found.size(), 7u);
    EXPECT_EQ(found[0], (P{path(".wine") + "/", "WINEPREFIX", {"Bob"}}));
    EXPECT_EQ(found[1].launcher, "Lutris");
    fs::permissions(path("Games/locked"), fs::perms::owner_all);
}

// Sets an environment variable for the life of the object.
struct ScopedEnv {
    ScopedEnv(const char* name, const std::string& value) : name(name) {
        if (const char* was = std::getenv(name))
            old = was;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() { old ? ::setenv(name, old->c_str(), 1) : ::unsetenv(name); }
    const char* name;
    std::optional<std::string> old;
};

TEST_F(PrefixHomeTest, TheCliListsThePrefixesOfHomeAndWinePrefixAndSaysWhenThereIsNone) {
    ASSERT_EQ(testing::runCli({"demo-prefix", path("Games/Lemmings")}).status, 0);
    prefix(".wine", {"Bob"});
    ScopedEnv homeEnv("HOME", home.path().string());
    ScopedEnv winePrefixEnv("WINEPREFIX", "");

    auto listed = testing::runCli({"prefixes"});
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, path(".wine") + "\tWine\t1\n" + path("Games/Lemmings") + "\tLutris\t3\n");

    auto none = testing::runCli({"prefixes", "--key", "SOFTWARE\\Nobody"});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "WARNING: found no Wine prefix that holds your lemmings profiles\n");
}

} // namespace
} // namespace quillfen
