#include "cli/run_cli.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace quillfen::testing {
namespace {

// What rewrite writes is the writing commands' test's.
TEST(CliDatabase, ShowPrintsTheTreeAndCheckPassesTheDemo) {
    TempDir dir;
    std::string demo = dir.file("DEMO.DAT");
    ASSERT_EQ(runCli({"demo", demo}).status, 0);

    CliRun show = runCli({"show", demo});
    EXPECT_EQ(show.status, 0);
    EXPECT_NE(show.out.find("root1 \"CUSTOM LEVELS\" folder \"CUST\"\n  parent1 \"CUSTOM SET\"\n"
                            "    level1 \"Tunnel Vision\" file \"tunnel.lvl\"\n"),
              std::string::npos)
        << show.out;
    // JSON lists the nodes in node index order.
    CliRun json = runCli({"show", "--json", demo});
    EXPECT_EQ(json.status, 0);
    EXPECT_TRUE(json.out.starts_with(
        "{\"records\": 16, \"nodes\": [\n  {\"index\": 1, \"key\": \"root1\", "
        "\"text\": \"CUSTOM LEVELS\", \"children\": 2, \"folder\": \"CUST\"},\n"
        "  {\"index\": 2, \"key\": \"parent1\", \"text\": \"CUSTOM SET\", "
        "\"children\": 3, \"parent\": \"root1\"},\n"))
        << json.out;
    EXPECT_EQ(runCli({"check", demo}).status, 0);
}

TEST(CliDatabase, ACorruptOrMissingFileIsRefusedAndNothingIsWritten) {
    TempDir dir;
    std::string demo = dir.file("DEMO.DAT");
    ASSERT_EQ(runCli({"demo", demo}).status, 0);
    auto bytes = readBytes(demo);
    bytes[4] = 200;
    writeBytes(demo, bytes);

    CliRun show = runCli({"show", demo});
    EXPECT_EQ(show.status, 1);
    EXPECT_EQ(show.err, "WARNING: the user profile you are trying to load seems to be corrupt\n"
                        "the file claims 200 records but holds 16\n");
    EXPECT_EQ(runCli({"rewrite", demo, dir.file("OUT.DAT")}).status, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.file("OUT.DAT")));
    CliRun check = runCli({"check", demo});
    EXPECT_EQ(check.status, 1);
    EXPECT_NE(check.out.find("200 records make"), std::string::npos) << check.out;

    CliRun missing = runCli({"show", dir.file("NONE.DAT")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "ERROR: cannot read the user profile: No such file or directory\n");
    for (const std::vector<std::string>& wrong :
         std::vector<std::vector<std::string>>{{"show"}, {"frobnicate"}, {}})
        EXPECT_EQ(runCli(wrong).status, 2);
}

} // namespace
} // namespace quillfen::testing
