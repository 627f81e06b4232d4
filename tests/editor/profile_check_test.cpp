#include "editing/profile_check.h"
#include "editor/editor_fixture.h"
#include "editor/problem_rows.h"
#include "levelfile/make_level_file.h"
#include "temp_dir.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <thread>

namespace quillfen {
namespace {

using testing::EditorTest;
using testing::makeLevelFile;
using testing::writeBytes;

// A level of a made-up install, each in a group of its own under the folder text `folder`; the
// problems the check is to find of it, "!" an error and "~" a note, each by a part of its text
// ("!folder" an error on the group, whose level then goes unchecked), and after "@" the title and
// the file as View > Problems shows them.
struct Row {
    const char* folder;
    const char* file;
    std::vector<std::string> problems;
};

const std::vector<Row> kRows = {
    {"CUST", "good.lvl", {}},
    // Wine finds names in any case: this is the file above, named again.
    {"cust", "GOOD.LVL", {"~the file is also that of level 'good.lvl' (level1)"}},
    {"CUST", "copy.lvl", {"~the same level as that of level 'good.lvl' (level1)"}},
    {"C:\\LEMM\\SPARE", "spare.lvl", {}},
    {"CUST", "gone.lvl", {"!gone.lvl is not there @gone.lvl: C:\\LEMM\\LEVEL\\CUST\\gone.lvl"}},
    // A name as the profile keeps it, in Windows-1252 (é), in words that are UTF-8.
    {"CUST", "\xE9t\xE9.lvl", {"!été.lvl is not there @été.lvl: C:\\LEMM\\LEVEL\\CUST\\été.lvl"}},
    {"CUST", "short.lvl", {"!is not a Windows level file: the file is 100 bytes long"}},
    {"CUST", "many.lvl", {"!200 lemmings, more than the game's 114"}},
    {"CUST", "brick.lvl", {"!graphics set 5 (brick) is not in the game's STYLES folder"}},
    {"CUST", "\xE9*.lvl", {"!the file name 'é*.lvl' holds '*'"}},
    {"MYLV", "a.lvl", {"!folder"}},
    {"NE?W", "a.lvl", {"!folder"}},
    {"sub\\..\\CUST", "good.lvl", {"!folder"}},
};

class ProfileCheckTest : public ::testing::Test {
protected:
    testing::TempDir dir;
    GameFolder game{dir.file("drive_c/LEMM"), "C:\\LEMM", GameFolderSource::Given,
                    dir.path().string()};
    LevelTree tree;

    void SetUp() override {
        namespace fs = std::filesystem;
        fs::create_directories(dir.file("drive_c/LEMM/LEVEL/CUST"));
        fs::create_directories(dir.file("drive_c/LEMM/SPARE"));
        fs::create_directories(dir.file("drive_c/LEMM/STYLES"));
        // As Wine makes a prefix: its drive C: is a link in dosdevices.
        fs::create_directories(dir.file("dosdevices"));
        fs::create_directory_symlink("../drive_c", dir.file("dosdevices/c:"));
        writeBytes(dir.file("drive_c/LEMM/STYLES/GROUND0O.DAT"), std::vector<unsigned char>(1056));
        auto level = makeLevelFile({50, 1, 1, 1, 1, 1, 1, 1, 1}, "Good");
        for (const char* name : {"CUST/good.lvl", "CUST/copy.lvl"})
            writeBytes(dir.file("drive_c/LEMM/LEVEL/") + name, level);
        writeBytes(dir.file("drive_c/LEMM/LEVEL/CUST/short.lvl"), std::vector<unsigned char>(100));
        level[2] = 0; // the lemmings' word
        level[3] = 200;
        writeBytes(dir.file("drive_c/LEMM/LEVEL/CUST/many.lvl"), level);
        level = makeLevelFile({50, 1, 1, 1, 1, 1, 1, 1, 1}, "Brick");
        level[levelfile::kGraphicsSetOffset + 1] = 5;
        writeBytes(dir.file("drive_c/LEMM/LEVEL/CUST/brick.lvl"), level);
        writeBytes(dir.file("drive_c/LEMM/SPARE/SPARE.LVL"),
                   makeLevelFile({9, 0, 0, 0, 0, 0, 0, 0, 0}, "Spare"));
        std::uint32_t n = 0;
        for (const Row& row : kRows) {
            ++n;
            auto* group = tree.add(nullptr, LevelTree::Relationship::Last, NodeKind::Group, n, "G",
                                   row.folder);
            auto* set = tree.add(group, LevelTree::Relationship::Child, NodeKind::Set, n, "S");
            tree.add(set, LevelTree::Relationship::Child, NodeKind::Level, n, row.file, row.file);
        }
    }

    // The problems found, as the rows spell them, by the row's number.
    std::map<std::uint32_t, std::vector<std::string>> found() {
        std::map<std::uint32_t, std::vector<std::string>> byRow;
        const std::vector<ProfileProblem> problems = checkProfile(tree, game);
        const std::vector<window::ProblemRow> rows = window::problemRows(tree, problems);
        for (std::size_t i = 0; i < problems.size(); ++i) {
            const ProfileProblem& p = problems[i];
            std::uint32_t row =
                p.key.empty() ? 0 : std::stoul(p.key.substr(p.key.find_first_of("0123456789")));
            std::string shown = p.severity == ProblemSeverity::Error ? "!" : "~";
            if (p.key.starts_with("root"))
                shown.append("folder: ");
            byRow[row].push_back(shown.append(p.problem)
                                     .append(" @")
                                     .append(rows[i][1])
                                     .append(": ")
                                     .append(rows[i][3]));
        }
        return byRow;
    }

    void expectRows(const std::map<std::uint32_t, std::vector<std::string>>& byRow) {
        for (std::uint32_t n = 1; n <= kRows.size(); ++n) {
            const Row& row = kRows[n - 1];
            auto it = byRow.find(n);
            auto problems = it == byRow.end() ? std::vector<std::string>{} : it->second;
            ASSERT_EQ(problems.size(), row.problems.size())
                << row.folder << " " << row.file << ": " << ::testing::PrintToString(problems);
            for (std::size_t i = 0; i < problems.size(); ++i) {
                std::string sign = row.problems[i].substr(0, 1);
                EXPECT_EQ(problems[i].substr(0, 1), sign) << problems[i];
                EXPECT_NE(problems[i].find(row.problems[i].substr(1)), std::string::npos)
                    << problems[i];
            }
        }
    }
};

TEST_F(ProfileCheckTest, EachLevelTheGameCannotFindOrPlayIsFoundWithItsReason) {
    auto byRow = found();
    expectRows(byRow);
    EXPECT_FALSE(byRow.contains(0)); // the install's STYLES holds a set
}

TEST_F(ProfileCheckTest, AnInstallWithoutGraphicsGetsOneNoteInsteadOfAnErrorPerLevel) {
    auto before = checkProfile(tree, game);
    std::filesystem::remove(dir.file("drive_c/LEMM/STYLES/GROUND0O.DAT"));
    auto after = checkProfile(tree, game);
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after[0].key, "");
    EXPECT_EQ(after[0].severity, ProblemSeverity::Note);
    EXPECT_NE(after[0].problem.find("STYLES folder holds no graphics"), std::string::npos);
    for (const ProfileProblem& p : after)
        EXPECT_EQ(p.problem.find("graphics set 5"), std::string::npos) << p.problem;
}

// The Editor checks the tree again after each edit, undo and redo, and the status bar counts
// what it found.
TEST_F(EditorTest, TheProblemsFollowTheEditsAndTheStatusBarCountsThem) {
    std::string game = dir.file("game");
    std::filesystem::create_directories(game + "/LEVEL/HARD");
    std::filesystem::create_directories(game + "/LEVEL/EASY");
    for (const char* name : {"a.lvl", "b.lvl", "c.lvl"})
        writeBytes(game + "/LEVEL/EASY/" + name, makeLevelFile({}, name));
    editor.giveGameFolder(game);
    auto keys = [&] {
        std::string found;
        for (const ProfileProblem& p : editor.problems())
            found += (p.key.empty() ? "install" : p.key) + " ";
        return found;
    };
    EXPECT_EQ(keys(), "install level4 "); // d.lvl is not in HARD; the empty BARE group is fine
    EXPECT_NE(editor.documentState().status.find("1 problem(s), 1 note(s)"), std::string::npos)
        << editor.documentState().status;
    select("level4");
    ASSERT_TRUE(editor.deleteLevel().done);
    EXPECT_EQ(keys(), "install ");
    (void)editor.undo();
    EXPECT_EQ(keys(), "install level4 ");
    (void)editor.redo();
    EXPECT_EQ(keys(), "install ");

    // Add Group offers the game's folders, and refuses one that Windows cannot open.
    user.said.clear();
    user.inputs = {{"NE?W", true}};
    EXPECT_FALSE(editor.addGroup().done);
    ASSERT_EQ(user.said.size(), 2u);
    EXPECT_TRUE(user.said[0].ends_with("etc..)\n\nThe game's LEVEL folder holds: EASY, HARD @9"))
        << user.said[0];
    EXPECT_EQ(user.said[1],
              "WARNING: the folder 'NE?W' holds '?', which Windows does not allow in a folder");
}

// A window checks a long profile beside its thread: the marks keep the last answer until the new
// one arrives, and an older check's answer never replaces a newer one's.
TEST_F(EditorTest, ALongProfileAndALargeFolderAreDoneBesideTheWindowsThreadNewestLast) {
    std::string game = dir.file("game");
    std::filesystem::create_directories(game + "/LEVEL/LONG");
    testing::SetSpec set{"ALL", {}};
    for (int i = 0; i < 600; ++i) {
        std::string file = std::to_string(i) + ".lvl";
        set.levels.push_back({file, file});
        // Every tenth file is missing.
        if (i % 10 != 0)
            writeBytes(game + "/LEVEL/LONG/" + file, makeLevelFile({}, file));
    }
    load({{"LONG", "LONG", {set}}});
    std::mutex mutex;
    std::condition_variable woken;
    int ready = 0;
    editor.workBeside([&] {
        std::lock_guard lock(mutex);
        ++ready;
        woken.notify_one();
    });
    // Takes answers as the window does, each time it is woken, until `take` takes one.
    auto wakeUntil = [&](auto take) {
        for (;;) {
            std::unique_lock lock(mutex);
            ASSERT_TRUE(woken.wait_for(lock, std::chrono::seconds(20), [&] { return ready > 0; }));
            --ready;
            lock.unlock();
            if (take())
                return;
        }
    };
    auto takeAnswer = [&] { wakeUntil([&] { return editor.takeCheck(); }); };
    auto errors = [&] {
        return std::count_if(
            editor.problems().begin(), editor.problems().end(),
            [](const ProfileProblem& p) { return p.severity == ProblemSeverity::Error; });
    };
    editor.giveGameFolder(game);
    EXPECT_TRUE(editor.problems().empty());
    takeAnswer();
    EXPECT_EQ(errors(), 60);

    // Two edits in a row: the first one's check, done or not, is never taken.
    select("level1"); // 0.lvl, missing
    ASSERT_TRUE(editor.deleteLevel().done);
    EXPECT_EQ(errors(), 60);
    select("level11"); // 10.lvl, missing
    ASSERT_TRUE(editor.deleteLevel().done);
    takeAnswer();
    EXPECT_EQ(errors(), 58);
    EXPECT_NE(editor.documentState().status.find("58 problem(s)"), std::string::npos);
    auto texts = [](const std::vector<ProfileProblem>& problems) {
        std::vector<std::string> lines;
        for (const ProfileProblem& p : problems)
            lines.push_back(p.key + " " + p.problem);
        return lines;
    };
    EXPECT_EQ(texts(editor.problems()), texts(checkProfile(editor.tree(), *editor.gameFolder())));

    // The folder's 540 levels, and 20 .lvl files of another engine that are not counted.
    for (int i = 0; i < 20; ++i)
        writeBytes(game + "/LEVEL/LONG/other" + std::to_string(i) + ".lvl",
                   std::vector<unsigned char>(300, 1));
    EXPECT_EQ(editor.openFolder(game + "/LEVEL/LONG").countText,
              "Counting the levels of 560 files...");
    std::optional<std::string> count;
    wakeUntil([&] { return (count = editor.takeLevelCount()).has_value(); });
    EXPECT_EQ(count, "540 levels found");
    // A small folder listed next is counted at once, and the large one's count never shows.
    editor.openFolder(game + "/LEVEL/LONG");
    EXPECT_EQ(editor.openFolder(game + "/LEVEL").countText, "0 levels found");
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_EQ(editor.takeLevelCount(), std::nullopt);
}

} // namespace
} // namespace quillfen
