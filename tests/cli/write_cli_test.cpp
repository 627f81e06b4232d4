// Every command that writes a file, run on each kind of thing that may stand where it writes:
// all of them keep the one write's rules.
#include "cli/run_cli.h"
#include "editor/settings_file.h"
#include "host/file_io.h"
#include "levelfile/make_level_file.h"
#include "levelfile/make_pack.h"
#include "temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>

namespace quillfen::testing {
namespace {

namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using Bytes = std::vector<unsigned char>;

enum Target { File, Link, HardLink, ReadOnly, Fifo, Device, Folder, New };

struct WritingCommand {
    const char* name;
    Args args;          // {in}, {pack}, {out} and {t} stand for the fixture's paths
    const char* target; // where it writes, below {out}
    bool overwrites;    // writes over a file that is there
    bool creates;       // writes a new name
    bool inPrefix;      // writes a profile of a demo prefix at {out}/prefix
};

const char kProfile[] = "prefix/drive_c/LEMM/USERS/ALICE.DAT";
const WritingCommand kCommands[] = {
    {"rewrite", {"rewrite", "{in}", "{t}"}, "OUT.DAT", true, true, false},
    {"edit", {"edit", "{in}", "{t}", "rename", "root1", "X"}, "OUT.DAT", true, true, false},
    {"demo", {"demo", "{t}"}, "OUT.DAT", false, true, false},
    {"demoprefix", {"demo-prefix", "{out}/prefix"}, kProfile, false, true, false},
    {"level", {"level", "{t}", "--set", "lemmings=9"}, "t.lvl", true, false, false},
    {"import", {"import", "{pack}", "--to", "{out}"}, "PACK_00.LVL", false, true, false},
    {"save", {"save", "--prefix", "{out}/prefix", "Alice", "{in}"}, kProfile, true, false, true},
    {"settings", {}, "profile.txt", true, true, false}, // the Editor's settings file
};

// What stands at a path, a link's target included: kind, mode, owner and bytes.
std::string describe(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return "nothing";
    if (S_ISLNK(info.st_mode))
        return "link to " + describe(path.parent_path() / fs::read_symlink(path));
    Bytes bytes = S_ISREG(info.st_mode) ? readBytes(path) : Bytes{};
    return std::to_string(info.st_mode) + " " + std::to_string(info.st_uid) + " " +
           std::string(bytes.begin(), bytes.end());
}

class WritingCommands : public ::testing::TestWithParam<WritingCommand> {
protected:
    TempDir dir;
    fs::path out = dir.path() / "out", elsewhere = dir.path() / "elsewhere";
    std::string in = dir.file("IN.DAT"), pack = dir.file("PACK.DAT");
    Bytes old = makeLevelFile({1, 1, 1, 1, 1, 1, 1, 1, 1}, "Old");
    Bytes level = packLevel(1, 40, "First");

    // What the command writes, when it is known beforehand.
    std::optional<Bytes> expected() const {
        std::string name = GetParam().name;
        Bytes counted = old;
        counted[3] = 9;
        return name == "level"      ? counted
               : name == "import"   ? level
               : name == "settings" ? Bytes{'C', ':', '\r', '\n', 'K', '\r', '\n'}
               : name == "demoprefix" || name == "edit"
                   ? std::nullopt
                   : std::optional(readBytes(in)); // the demo, which a rewrite keeps
    }

    // Puts `kind` at `path`; false when this user cannot make a device.
    bool make(Target kind, const fs::path& path) {
        fs::create_directories(path.parent_path());
        fs::create_directories(elsewhere);
        fs::remove(path);
        if (kind == Fifo || kind == Device || kind == Folder)
            return kind == Folder ? fs::create_directory(path)
                                  : ::mknod(path.c_str(), kind == Fifo ? S_IFIFO | 0644 : S_IFCHR,
                                            ::makedev(1, 3)) == 0;
        if (kind == New)
            return true;
        writeBytes(kind == File || kind == ReadOnly ? path : elsewhere / "other", old);
        if (kind == Link) // relative, as a link into a sibling folder often is
            fs::create_symlink(fs::relative(elsewhere / "other", path.parent_path()), path);
        if (kind == HardLink)
            fs::create_hard_link(elsewhere / "other", path);
        // Another user's file, where root may say so.
        (void)::chown(path.c_str(), 4321, 4322);
        ::chmod(path.c_str(), kind == ReadOnly ? 0444 : 0640);
        return true;
    }

    CliRun run(const fs::path& target) {
        if (GetParam().args.empty()) {
            auto written = settings::writeSettings(target.string(), {"C:", "K"});
            return {written ? 0 : 1, "", written ? "" : written.error()};
        }
        Args args = GetParam().args;
        for (std::string& arg : args)
            for (auto [word, path] :
                 {std::pair{"{in}", in}, std::pair{"{pack}", pack},
                  std::pair{"{out}", out.string()}, std::pair{"{t}", target.string()}})
                if (auto at = arg.find(word); at != std::string::npos)
                    arg.replace(at, std::string(word).size(), path);
        return runCli(args);
    }
};

TEST_P(WritingCommands, WriteOnlyAFileOrANewNameAndKeepWhatTheFileIs) {
    const WritingCommand& command = GetParam();
    const fs::path target = out / command.target;
    ASSERT_EQ(runCli({"demo", in}).status, 0);
    writeBytes(pack, makePack({level}));
    for (Target kind : {File, Link, HardLink, ReadOnly, Fifo, Device, Folder, New}) {
        SCOPED_TRACE("target kind " + std::to_string(kind));
        fs::remove_all(out);
        fs::create_directories(out);
        if (command.inPrefix) {
            ASSERT_EQ(runCli({"demo-prefix", (out / "prefix").string()}).status, 0);
        }
        if (!make(kind, target))
            continue; // a device, made by root alone
        const std::string before = describe(target);
        CliRun result = run(target);
        for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
            EXPECT_FALSE(entry.path().filename().string().starts_with(".quillfen"));
        if (kind == New ? !command.creates : !command.overwrites || kind > HardLink) {
            EXPECT_EQ(result.status, 1);
            // The tool's refusal, said once (the settings file's goes into the window's).
            EXPECT_TRUE(result.err.starts_with("ERROR: ") || command.args.empty()) << result.err;
            EXPECT_EQ(result.err.find("ERROR: ", 1), std::string::npos) << result.err;
            EXPECT_EQ(describe(target), before);
            EXPECT_FALSE(fs::exists(out / "prefix/system.reg") && !command.inPrefix);
            if (kind == ReadOnly && command.overwrites) {
                EXPECT_NE(result.err.find("the file is read-only"), std::string::npos);
            }
            continue;
        }
        EXPECT_EQ(result.status, 0) << result.err;
        if (auto bytes = expected()) {
            EXPECT_EQ(readBytes(target), *bytes);
        }
        if (kind == New)
            continue;
        // The old bytes with new ones: what stands there and its mode and owner stay.
        Bytes now = readBytes(target);
        std::string kept = before;
        kept.replace(kept.size() - old.size(), old.size(), std::string(now.begin(), now.end()));
        EXPECT_EQ(describe(target), kept);
        if (command.inPrefix) { // the old bytes, mode and owner, beside the name written
            EXPECT_EQ(describe(target.string() + "_backup"), before.substr(kind == Link ? 8 : 0));
        }
        if (kind == HardLink) {
            EXPECT_EQ(readBytes(elsewhere / "other"), now);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, WritingCommands, ::testing::ValuesIn(kCommands),
                         [](const auto& info) { return std::string(info.param.name); });

// A file that is only not this user's is refused in the system's words, not as read-only.
TEST(WritingCommandsAsAnotherUser, AreRefusedWithTheSystemsReason) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can run the tool as another user here";
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::add);
    std::string in = dir.file("IN.DAT"), theirs = dir.file("open/theirs.dat");
    ASSERT_EQ(runCli({"demo", in}).status, 0);
    // Root's file in a folder anyone may write, and a new name in root's folder.
    fs::create_directory(dir.file("open"));
    fs::permissions(dir.file("open"), fs::perms::all);
    writeBytes(theirs, Bytes{1, 2, 3});
    for (const std::string& target : {theirs, dir.file("new.dat")}) {
        CliRun run = runCli({"rewrite", in, target},
                            {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
        EXPECT_EQ(run.err, "ERROR: could not write " + target + ": Permission denied\n");
    }
    EXPECT_EQ(readBytes(theirs), (Bytes{1, 2, 3}));
    EXPECT_FALSE(fs::exists(dir.file("new.dat")));
}

// Two imports of packs of one name into one folder at once: the second finds the first's files
// as conflicts, and never do both say done with the folder holding some levels of each.
TEST(ImportsAtOnce, NeverBothSayDoneWithAFolderOfBothPacks) {
    TempDir dir;
    const std::vector<Bytes> packs[2] = {{packLevel(1, 10, "A1"), packLevel(2, 11, "A2")},
                                         {packLevel(3, 20, "B1"), packLevel(4, 21, "B2")}};
    for (int i = 0; i < 2; ++i) {
        fs::create_directory(dir.file(std::to_string(i)));
        writeBytes(dir.file(std::to_string(i) + "/PACK.DAT"), makePack(packs[i]));
    }
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        std::string folder = dir.file("levels" + std::to_string(round));
        fs::create_directory(folder);
        CliRun runs[2];
        auto import = [&](int i) {
            runs[i] = runCli({"import", dir.file(std::to_string(i) + "/PACK.DAT"), "--to", folder});
        };
        std::thread other(import, 1);
        import(0);
        other.join();
        EXPECT_FALSE(runs[0].status == 0 && runs[1].status == 0);
        for (int i = 0; i < 2; ++i) {
            EXPECT_LE(runs[i].status, 1) << runs[i].err; // it ran, and said done or refused
            for (std::size_t n = 0; runs[i].status == 0 && n < packs[i].size(); ++n) {
                EXPECT_EQ(readBytes(folder + "/PACK_0" + std::to_string(n) + ".LVL"), packs[i][n]);
            }
        }
    }
}

// An import holds its folder from its last look to its last write: it waits for a program that
// holds the folder, then sees what that program wrote meanwhile (here the level it would write
// itself, which it keeps), and a wait that lasts too long refuses it, nothing written.
TEST(ImportsAtOnce, AnImportWaitsForTheFoldersLockThenSeesWhatWasWritten) {
    TempDir dir;
    const Bytes level = packLevel(1, 10, "A1");
    const std::string pack = dir.file("PACK.DAT");
    writeBytes(pack, makePack({level, packLevel(2, 11, "A2")}));
    for (auto held : {std::chrono::seconds(1), kLockWait + std::chrono::seconds(1)}) {
        const bool tooLong = held > kLockWait;
        const std::string folder = dir.file(tooLong ? "late" : "levels");
        fs::create_directory(folder);
        CliRun run;
        std::thread import;
        const auto start = std::chrono::steady_clock::now();
        {
            auto lock = lockFolder(folder);
            ASSERT_TRUE(lock.ok()) << lock.error();
            import = std::thread([&] { run = runCli({"import", pack, "--to", folder});
        });
        std::this_thread::sleep_for(held);
        if (!tooLong)
            writeBytes(folder + "/PACK_00.LVL", level);
    }
    import.join();
    EXPECT_GE(std::chrono::steady_clock::now() - start, tooLong ? kLockWait : held);
    if (tooLong) {
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "ERROR: cannot import PACK.DAT: " + std::string(kFolderBusy) +
                               "; nothing was written\n");
        EXPECT_TRUE(fs::is_empty(folder));
        continue;
    }
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readBytes(folder + "/PACK_00.LVL"), level);
    EXPECT_TRUE(fs::exists(folder + "/PACK_01.LVL"));
}
} // namespace

// A command that writes over the file it read (edit of a file onto itself, save into a profile
// whose file it read to ask, level --set whose other counts it read) waits for a program that
// holds the folder; when that program wrote the file meanwhile, the command is refused and that
// program's bytes stay.
TEST(WritingCommandsAtOnce, AWriteOverAFileChangedSinceItWasReadIsRefused) {
    TempDir dir;
    const std::string prefix = dir.file("prefix"), from = dir.file("FROM.DAT");
    const std::string alice = prefix + "/drive_c/LEMM/USERS/ALICE.DAT";
    const std::string level = prefix + "/drive_c/LEMM/LEVELS/gap.lvl";
    ASSERT_EQ(runCli({"demo-prefix", prefix}).status, 0);
    ASSERT_EQ(runCli({"demo", from}).status, 0);
    const std::tuple<Args, std::string, std::string> commands[] = {
        {{"edit", alice, alice, "rename", "root1", "MINE"},
         alice,
         "ERROR: could not write " + alice + ": " + kChangedMeanwhile},
        {{"save", "--prefix", prefix, "Alice", from},
         alice,
         "ERROR: the profile's file " + prefix + "/dosdevices/c:/LEMM/USERS/ALICE.DAT" +
             " was changed by another program since it was read; nothing was saved"},
        {{"level", level, "--set", "lemmings=9"},
         level,
         "ERROR: the level file " + level +
             " was changed by another program since its counts were read; nothing was written"},
    };
    for (const auto& [args, target, refusal] : commands) {
        SCOPED_TRACE(args[0]);
        const Bytes mine = readBytes(target);
        Bytes other = mine;
        other[levelfile::kCountOffsets.back()] ^= 1; // the diggers, another program's change
        CliRun run;
        std::thread command;
        {
            auto lock = lockFolder(folderOf(target));
            ASSERT_TRUE(lock.ok()) << lock.error();
            command = std::thread([&] { run = runCli(args); });
            std::this_thread::sleep_for(std::chrono::seconds(1));
            writeBytes(target, other);
        }
        command.join();
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, refusal + "\n");
        EXPECT_EQ(readBytes(target), other);
    }
}

// A demo-prefix stopped half way (here by a link that leads nowhere where its level folder goes)
// leaves what it made, which the next run takes as its own and completes; a file it did not make
// is refused, untouched.
TEST(DemoPrefix, ARunStoppedHalfWayIsCompletedByTheNext) {
    TempDir dir;
    const std::string prefix = dir.file("prefix"), levels = prefix + "/drive_c/LEMM/LEVELS";
    const std::string bob = prefix + "/drive_c/LEMM/USERS/BOB.DAT";
    fs::create_directories(prefix + "/drive_c/LEMM");
    fs::create_symlink("nowhere", levels);
    CliRun failed = runCli({"demo-prefix", prefix});
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(failed.err.starts_with("ERROR: could not write " + levels)) << failed.err;
    EXPECT_TRUE(fs::exists(bob));
    EXPECT_FALSE(fs::exists(prefix + "/system.reg"));
    fs::remove(levels);
    writeBytes(bob, Bytes{1});
    CliRun refused = runCli({"demo-prefix", prefix});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err,
              "ERROR: " + bob + " is already there; nothing was written: choose a new folder\n");
    EXPECT_EQ(readBytes(bob), Bytes{1});
    fs::remove(bob);
    CliRun again = runCli({"demo-prefix", prefix});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(runCli({"profiles", "--prefix", prefix}).out,
              "Alice\tC:\\LEMM\\USERS\\ALICE.DAT\nBob\tC:\\LEMM\\USERS\\BOB.DAT\n"
              "Zo\xC3\xAB\tC:\\LEMM\\USERS\\ZOE.DAT\n");
    CliRun level = runCli({"level", levels + "/spare2.lvl"});
    EXPECT_EQ(level.status, 0) << level.err;
    EXPECT_TRUE(level.out.starts_with("{\"title\": \"The Long Walk Home\", \"lemmings\": 70,"))
        << level.out;
}

} // namespace quillfen::testing
} // namespace quillfen::testing
