#include "editing/editing_fixture.h"
#include "editing/importing.h"
#include "levelfile/make_pack.h"

namespace quillfen::testing {
namespace {

class ImportPack : public EditingTest {
protected:
    levelfile::ImportPlan plan;
    FileTitles titles = {{"LEVEL007_00.LVL", paddedTitle("Alpha")},
                         {"LEVEL007_01.LVL", paddedTitle("Beta")}};

    void SetUp() override {
        EditingTest::SetUp();
        writeBytes(dir.file("LEVEL007.DAT"),
                   makePack({packLevel(1, 40, "Alpha"), packLevel(2, 50, "Beta")}));
        auto planned = levelfile::planImport(dir.file("LEVEL007.DAT"), false, levels);
        ASSERT_TRUE(planned.ok()) << planned.error();
        plan = std::move(*planned);
    }

    bool folderEmpty() { return std::filesystem::is_empty(levels); }
};

TEST_F(ImportPack, AddsTheLevelsToTheSelectedSetInSectionOrderAfterWritingTheirFiles) {
    load(kProfile);
    select("root1"); // not a set: refused before anything is written
    EXPECT_EQ(importPack(state, ui, plan), nullptr);
    model.addLevels({"LEVEL007_00.LVL"}, "LEVEL007_00.LVL", titles);
    EXPECT_TRUE(folderEmpty());
    select("parent2");
    EXPECT_NE(importPack(state, ui, plan), nullptr);
    model.addLevels({"LEVEL007_00.LVL", "LEVEL007_01.LVL"}, "LEVEL007_00.LVL", titles);
    expectModel();
    EXPECT_EQ(ui.messages.back(), "2 level(s) added to 'HARD'");
    EXPECT_EQ(readBytes(levels + "/LEVEL007_01.LVL"), plan.levels[1].bytes);
    expectSaveAndLoadAgree();
}

TEST_F(ImportPack, RefusesAPackThatTheProfileHasNoRoomForAndWritesNothing) {
    // One group whose one set fills the profile but for one node.
    SetSpec set{"BIG", std::vector<LevelSpec>(format::kMaxNodes - 3, {"L", "l.lvl"})};
    load({{"G", "F", {set}}});
    select("parent1");
    EXPECT_EQ(importPack(state, ui, plan), nullptr);
    EXPECT_EQ(ui.messages,
              std::vector<std::string>{std::string(kTreeFull) + "; nothing was imported"});
    EXPECT_EQ(state.tree.count(), format::kMaxNodes - 1);
    EXPECT_TRUE(folderEmpty());
}

} // namespace
} // namespace quillfen::testing
