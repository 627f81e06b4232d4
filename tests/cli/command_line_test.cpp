// What every command shares: its options in any order, and an exit status that tells whether
// its answer reached the user.
#include "cli/run_cli.h"
#include "levelfile/make_level_file.h"
#include "levelfile/make_pack.h"
#include "temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace quillfen::testing {
namespace {

using Args = std::vector<std::string>;

const std::string kKey = "SOFTWARE\\Visual Sciences\\Windows Lemmings\\Users";

// A demo database, a level file, a pack, an empty folder and a demo prefix.
class CommandLineTest : public ::testing::Test {
protected:
    CommandLineTest() {
        EXPECT_EQ(runCli({"demo", demo}).status, 0);
        EXPECT_EQ(runCli({"demo-prefix", prefix}).status, 0);
        auto bytes = readBytes(demo);
        bytes[4] = 200; // a count that the file does not hold
        writeBytes(corrupt, bytes);
        writeBytes(level, makeLevelFile({40, 1, 2, 3, 4, 5, 6, 7, 8}, "T"));
        writeBytes(pack, makePack({packLevel(1, 40, "First")}));
        std::filesystem::create_directory(out);
    }

    // The tool's exit status with stdout and stderr sent to the given files.
    static int runInto(const Args& args, const std::string& stdoutTo, const std::string& stderrTo) {
        std::string command = shellQuote(std::getenv("QUILLFEN_CLI"));
        for (const std::string& arg : args)
            command.append(" ").append(shellQuote(arg));
        command.append(" >").append(stdoutTo).append(" 2>").append(stderrTo);
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    TempDir dir;
    std::string demo = dir.file("DEMO.DAT"), corrupt = dir.file("BAD.DAT"),
                level = dir.file("a.lvl"), pack = dir.file("P.DAT"), out = dir.file("out"),
                prefix = dir.file("prefix"), said = dir.file("said");
};

TEST_F(CommandLineTest, AnAnswerThatCannotBeWrittenEndsWithStatusOne) {
    for (const Args& args : std::vector<Args>{{"show", demo},
                                              {"show", "--json", demo},
                                              {"check", corrupt},
                                              {"level", level},
                                              {"import", pack, "--to", out},
                                              {"profiles", "--prefix", prefix},
                                              {"load", "--prefix", prefix, "Alice"}}) {
        SCOPED_TRACE(args[0]);
        EXPECT_EQ(runInto(args, "/dev/full", said), 1);
        auto err = readBytes(said);
        EXPECT_EQ(std::string(err.begin(), err.end()),
                  "ERROR: could not write the output: No space left on device\n");
    }
    // A command whose answer goes to stderr ("Level info saved", "saved").
    EXPECT_EQ(runInto({"level", level, "--set", "lemmings=9"}, said, "/dev/full"), 1);
    EXPECT_EQ(runInto({"save", "--prefix", prefix, "Alice", demo}, said, "/dev/full"), 1);
    EXPECT_EQ(runInto({"show", demo}, "/dev/null", "/dev/full"), 0);
}

TEST_F(CommandLineTest, OptionsStandAnywhereAmongTheWords) {
    // Each list of forms gives one answer; the first is the form of the usage line.
    const std::vector<std::vector<Args>> same = {
        {{"show", "--json", demo}, {"show", demo, "--json"}},
        {{"import", pack, "--sequel", "--to", out},
         {"import", pack, "--to", out, "--sequel"},
         {"import", "--to=" + out, "--sequel", pack},
         {"import", "--sequel", "--to", out, "--", pack}},
        {{"level", level, "--set", "lemmings=9", "--set", "diggers=1"},
         {"level", "--set", "lemmings=9", level, "--set", "diggers=1"}},
        {{"profiles", "--prefix", prefix, "--key", kKey},
         {"profiles", "--key", kKey, "--prefix", prefix}},
        {{"load", "--prefix", prefix, "Bob", "--json"},
         {"load", "--json", "Bob", "--prefix", prefix},
         {"load", "Bob", "--prefix=" + prefix, "--json"}},
    };
    for (const auto& forms : same) {
        // Run twice, as an import's second run finds its files there.
        runCli(forms[0]);
        CliRun first = runCli(forms[0]);
        EXPECT_EQ(first.status, 0) << first.err;
        for (const Args& form : forms) {
            CliRun run = runCli(form);
            EXPECT_EQ(run.status, 0) << form[0] << ": " << run.err;
            EXPECT_EQ(run.out, first.out) << form[0];
        }
    }
    for (const Args& wrong : std::vector<Args>{{"show", demo, "--to", out},
                                               {"show", "--json=1", demo},
                                               {"import", pack, "--to"},
                                               {"import", pack, out, "--sequel"},
                                               {"level", level, "--set"},
                                               {"check", demo, demo},
                                               {"profiles", "--prefix"}})
        EXPECT_EQ(runCli(wrong).status, 2) << wrong[0] << " " << wrong.back();
}

TEST_F(CommandLineTest, ARefusalSaysErrorOnce) {
    std::string fifo = dir.file("fifo.dat");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    CliRun run = runCli({"import", fifo, "--to", out});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "ERROR: " + fifo + " is not a file\n");
}

} // namespace
} // namespace quillfen::testing
