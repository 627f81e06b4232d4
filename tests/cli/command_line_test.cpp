// What every command shares: its options in any order, an exit status that says whether its
// answer reached the user; and the profile's own commands, show and check.
#include "cli/run_cli.h"
#include "levelfile/make_level_file.h"
#include "levelfile/make_pack.h"
#include "temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace quillfen::testing {
namespace {

using Args = std::vector<std::string>;

// A runner that sends the tool's output where `redirect` says, in the shell's words.
Args redirected(const std::string& redirect) {
    return {"sh", "-c", std::string("exec \"$0\" \"$@\" ").append(redirect)};
}

TEST(CommandLine, AnAnswerThatCannotBeWrittenEndsWithStatusOne) {
    TempDir dir;
    std::string demo = dir.file("DEMO.DAT"), level = dir.file("a.lvl");
    ASSERT_EQ(runCli({"demo", demo}).status, 0);
    writeBytes(level, makeLevelFile({40, 1, 2, 3, 4, 5, 6, 7, 8}, "T"));
    for (const Args& args : {Args{"show", "--json", demo}, Args{"level", level}}) {
        CliRun run = runCli(args, redirected(">/dev/full"));
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_EQ(run.err, "ERROR: could not write the output: No space left on device\n");
    }
    // "Level info saved" goes to stderr.
    EXPECT_EQ(runCli({"level", level, "--set", "lemmings=9"}, redirected("2>/dev/full")).status, 1);
    EXPECT_EQ(runCli({"show", demo}, redirected(">/dev/null 2>/dev/full")).status, 0);
}

TEST(CommandLine, OptionsStandAnywhereAmongTheWords) {
    TempDir dir;
    std::string demo = dir.file("DEMO.DAT"), pack = dir.file("P.DAT"), out = dir.file("out");
    ASSERT_EQ(runCli({"demo", demo}).status, 0);
    writeBytes(pack, makePack({packLevel(1, 40, "First")}));
    std::filesystem::create_directory(out);
    // Each list of forms gives one answer; the first is the form of the usage line. Every command
    // parses its options alike.
    for (const auto& forms :
         std::vector<std::vector<Args>>{{{"show", "--json", demo}, {"show", demo, "--json"}},
                                        {{"import", pack, "--sequel", "--to", out},
                                         {"import", pack, "--to", out, "--sequel"},
                                         {"import", "--to=" + out, "--sequel", "--", pack}}}) {
        runCli(forms[0]); // an import's second run finds its files there
        CliRun first = runCli(forms[0]);
        EXPECT_EQ(first.status, 0) << first.err;
        for (const Args& form : forms)
            EXPECT_EQ(runCli(form).out, first.out) << form[0];
    }
    // An option that the command does not know is the next test's.
    for (const Args& wrong : std::vector<Args>{
             {"show", "--json=1", demo}, {"import", pack, "--to"}, {"show"}, {"frobnicate"}, {}})
        EXPECT_EQ(runCli(wrong).status, 2) << (wrong.empty() ? "" : wrong.back());
}

// Every command: --help prints its usage and does nothing else, an option it does not know is
// wrong usage, and after "--" a word that begins with "--" is a word.
TEST(CommandLine, EveryCommandTakesHelpUnknownOptionsAndTheEndOfOptionsAlike) {
    TempDir dir;
    const Args inFolder = {"env", "-C", dir.path().string()};
    for (const char* command :
         {"show", "check", "rewrite", "demo", "prefixes", "profiles", "load", "save", "demo-prefix",
          "level", "import", "preview", "edit", "game", "check-profile"}) {
        SCOPED_TRACE(command);
        CliRun help = runCli({command, "--help"});
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.out.starts_with(std::string("usage: quillfen-cli ") + command + " "));
        EXPECT_EQ(help.err, "");
        // Asked anywhere among the options, it still writes nothing.
        EXPECT_EQ(runCli({command, "A", "B", "--help", "rename", "root1", "X"}, inFolder).out,
                  help.out);
        CliRun wrong = runCli({command, "--frobnicate", "A", "B"}, inFolder);
        EXPECT_EQ(wrong.status, 2);
        EXPECT_EQ(wrong.err, help.out);
        EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    }
    ASSERT_EQ(runCli({"demo", "--", "--help"}, inFolder).status, 0);
    ASSERT_EQ(runCli({"demo-prefix", "--", "--json"}, inFolder).status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir.file("--json/system.reg")));
    CliRun edit = runCli({"edit", "--", "--help", "--x", "rename", "root1", "--NEW--"}, inFolder);
    EXPECT_EQ(edit.status, 0) << edit.err;
    EXPECT_NE(runCli({"show", "--", dir.file("--x")}).out.find("root1 \"--NEW--\""),
              std::string::npos);
    // Before "--", OUT is an option that edit does not know.
    EXPECT_EQ(runCli({"edit", dir.file("--help"), "--y", "rename", "root1", "X"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir.file("--y")));
    EXPECT_TRUE(runCli({"--help"}).out.starts_with("usage:\n  quillfen-cli show"));
}

// The game's folder chosen with Options > Game folder... (the settings file the windows write) is
// the one every command that needs the game finds, before the profile's folder and drive C:.
TEST(CommandLine, TheGameFolderChosenInAWindowIsTheOneFound) {
    TempDir dir;
    std::string prefix = dir.file("prefix"), chosen = prefix + "/drive_c/GAMES/LEMM";
    ASSERT_EQ(runCli({"demo-prefix", prefix}).status, 0);
    std::filesystem::create_directories(chosen + "/LEVEL");
    const std::string config = std::string(std::getenv("XDG_CONFIG_HOME")) + "/quillfen";
    std::filesystem::create_directories(config);
    const std::string lines = "c:\r\nSOFTWARE\\Lemmings\r\n" + chosen + "\r\n";
    writeBytes(config + "/profile.txt", std::vector<unsigned char>(lines.begin(), lines.end()));
    for (const Args& args :
         {Args{"game", "--prefix", prefix}, Args{"game", "Alice", "--prefix", prefix}})
        EXPECT_EQ(runCli(args).out, chosen + "\tC:\\GAMES\\LEMM\tchosen\n") << args.size();
    // Alice's levels are not in the chosen folder's LEVEL.
    CliRun checked = runCli({"check-profile", "--prefix", prefix, "Alice"});
    EXPECT_EQ(checked.status, 1);
    EXPECT_NE(checked.out.find(chosen + "/LEVEL/CUST"), std::string::npos) << checked.out;
    // A folder given by a name beyond Windows-1252 is named whole, in each column and line.
    const std::string given = prefix + "/drive_c/中é", cust = given + "/LEVEL/CUST";
    std::filesystem::create_directories(given + "/LEVEL");
    const std::string said = "the group's folder " + cust + " is not there";
    checked = runCli({"check-profile", "--prefix", prefix, "--game", given, "Alice"});
    EXPECT_NE(checked.out.find("\t" + cust + "\t" + said), std::string::npos) << checked.out;
    checked = runCli({"check-profile", "--json", "--prefix", prefix, "--game", given, "Alice"});
    EXPECT_NE(checked.out.find("\"file\": \"" + cust + "\", \"problem\": \"" + said),
              std::string::npos)
        << checked.out;
}

// What rewrite writes is the writing commands' test's; a file that cannot be read, the readers'.
TEST(CliDatabase, ShowPrintsTheTreeCheckItsProblemsAndACorruptFileIsRefused) {
    TempDir dir;
    std::string demo = dir.file("DEMO.DAT");
    ASSERT_EQ(runCli({"demo", demo}).status, 0);
    EXPECT_NE(runCli({"show", demo})
                  .out.find("root1 \"CUSTOM LEVELS\" folder \"CUST\"\n  parent1 \"CUSTOM SET\"\n"
                            "    level1 \"Tunnel Vision\" file \"tunnel.lvl\"\n"),
              std::string::npos);
    // JSON lists the nodes in node index order.
    EXPECT_TRUE(runCli({"show", "--json", demo})
                    .out.starts_with("{\"records\": 16, \"nodes\": [\n  {\"index\": 1, \"key\": "
                                     "\"root1\", \"text\": \"CUSTOM LEVELS\", \"children\": 2, "
                                     "\"folder\": \"CUST\"},\n  {\"index\": 2, \"key\": "
                                     "\"parent1\", \"text\": \"CUSTOM SET\", \"children\": 3, "
                                     "\"parent\": \"root1\"},\n"));
    EXPECT_EQ(runCli({"check", demo}).status, 0);

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
}

} // namespace
} // namespace quillfen::testing
