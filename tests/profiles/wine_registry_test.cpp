// The store over system.reg files written by hand exactly as wineserver writes them: the
// escapes, value types, key order and views that a real prefix holds.
#include "hand_prefix.h"
#include "profiles/profile_load_save.h"
#include "profiles/profile_store.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using testing::Names;
using testing::profileKey;
using testing::usersKey;

constexpr char kUsers[] = "SOFTWARE\\Visual Sciences\\Windows Lemmings\\Users";

class WineRegistry : public ::testing::Test {
protected:
    Names listed(const std::string& key = kUsers) { return listProfiles(store, key); }
    std::string databaseName(const std::string& profile) {
        return store.GetRegValue(profileKeyPath(kUsers, profile), "DatabaseName");
    }

    testing::HandPrefix prefix;
    WinePrefixStore store{prefix.path()};
};

// Quotes, brackets and two-digit escapes are checked against Wine itself (real_wine_test.cpp).
TEST_F(WineRegistry, TextsComeBackFromEveryEscapeWineWrites) {
    const std::string cafe = std::string("Caf\xC3\xA9") + "ab";
    // Four digits when a hex digit follows: \x00e9 then "ab".
    prefix.writeRegistry(profileKey(R"(Caf\x00e9ab)", R"(\x20ac \x3a9 \x00e9ab)") +
                         profileKey("Raw UTF-8 \xc3\xa9", R"(line\nbreak\rreturn\ttab\0zero)"));
    EXPECT_EQ(listed(), (Names{cafe, "Raw UTF-8 \xC3\xA9"}));
    // Texts come back whole in UTF-8, whatever code page would hold them.
    EXPECT_EQ(databaseName(cafe), std::string("\xE2\x82\xAC \xCE\xA9 \xC3\xA9") + "ab");
    // A program sees a text up to its first zero byte.
    EXPECT_EQ(databaseName("Raw UTF-8 \xC3\xA9"), "line\nbreak\rreturn\ttab");
}

TEST_F(WineRegistry, OnlyTextValuesAreReadAndLongHexTextGoesOnOverLines) {
    prefix.writeRegistry(R"([Software\\Wow6432Node\\Test] 1796565633
#time=1dd85b4a3e2c7f0
@="default"
"Expand"=str(2):"%SystemRoot%\\x"
"Number"=dword:00000010
"Bytes"=hex:01,02,ff
"Multi"=str(7):"one\0two\0"
"LongText"=hex(2):43,00,3a,00,5c,00,61,00,62,00,63,00,64,00,65,00,66,00,67,00,68,\
  00,69,00,6a,00,00,00
"Unterminated"=hex(1):41,00,42,00
"mixedCase"="found"

)");
    std::string key = "SOFTWARE\\Test\\";
    EXPECT_EQ(store.GetRegValue(key, ""), "default");
    EXPECT_EQ(store.GetRegValue(key, "Expand"), "%SystemRoot%\\x");
    EXPECT_EQ(store.GetRegValue(key, "Number"), kNotFound);
    EXPECT_EQ(store.GetRegValue(key, "Bytes"), kNotFound);
    EXPECT_EQ(store.GetRegValue(key, "Multi"), "one");
    EXPECT_EQ(store.GetRegValue(key, "LongText"), "C:\\abcdefghij");
    EXPECT_EQ(store.GetRegValue(key, "Unterminated"), "AB");
    // Value names, like key names, match without regard to case.
    EXPECT_EQ(store.GetRegValue(key, "MIXEDCASE"), "found");
    EXPECT_EQ(store.GetRegValue(key, "Missing"), kNotFound);
}

TEST_F(WineRegistry, SubkeysComeInWineOrderAndKeysMatchWithoutRegardToCaseOrExtraBackslashes) {
    // Out of order on purpose; "Carol" exists only because a key below it does, and "ALICE" is
    // the same key as "Alice".
    prefix.writeRegistry(
        profileKey("\\xe9t\\xe9", "1") + profileKey("Banana", "2") + profileKey("Zoo", "3") +
        profileKey("\\xc4pfel", "4") + profileKey("apple", "5") + profileKey("_a", "6") +
        profileKey("Alice", "7") + profileKey("ALICE", "8") + profileKey("Carol\\\\Saves", "9"));
    EXPECT_EQ(listed(), (Names{"_a", "Alice", "apple", "Banana", "Carol", "Zoo", "\xC3\x84pfel",
                               "\xC3\xA9t\xC3\xA9"}));
    EXPECT_EQ(databaseName("Carol"), kNotFound);
    // Both lines are one key; a value given twice takes the later line, as Wine loads it.
    for (const char* key : {"SOFTWARE\\Visual Sciences\\Windows Lemmings\\Users\\Alice\\",
                            "software\\visual sciences\\WINDOWS LEMMINGS\\users\\alice",
                            "SOFTWARE\\\\Visual Sciences\\Windows Lemmings\\Users\\\\ALICE"})
        EXPECT_EQ(store.GetRegValue(key, "DatabaseName"), "8") << key;
    // A name that only begins like the wanted one is another key.
    EXPECT_EQ(databaseName("Ali"), kNotFound);
    EXPECT_EQ(listed("SOFTWARE\\Visual Sciences\\Windows Lemmings\\User"), Names{});
    EXPECT_EQ(store.EnumRegKey(kUsers, -1), kNotFound);
}

TEST_F(WineRegistry, OddKeyLinesGiveTheSameAnswerWhateverWasAskedBefore) {
    // As a registry cut short or edited by hand may hold them: a key line without its closing
    // bracket names no key; empty path parts and separators at the start are dropped, as Wine
    // reads them.
    const std::string users =
        "Software\\\\Wow6432Node\\\\Visual Sciences\\\\Windows Lemmings\\\\Users";
    prefix.writeRegistry("[" + users + "\\\\Ghost\\\\Saves\\\\Old 1796602761\n\n" +
                         profileKey("\\\\\\\\Eve\\\\\\\\Saves", "1") + profileKey("Eve", "2") +
                         "[\\\\" + users +
                         "\\\\\\\\Finn\\\\] 1796602761\n\"DatabaseName\"=\"3\"\n\n");
    auto answers = [](WinePrefixStore& store) {
        Names out;
        for (std::string name : {"Ghost", "Eve", "Finn"}) {
            std::string key = std::string(kUsers) + "\\" + name;
            out.push_back(name + ": " + store.EnumRegKey(key, 0) + ", " +
                          store.GetRegValue(key, "DatabaseName"));
        }
        return out;
    };
    Names expected = {"Ghost: Not Found, Not Found", "Eve: Saves, 2", "Finn: Not Found, 3"};
    WinePrefixStore fresh(prefix.path());
    EXPECT_EQ(answers(fresh), expected);
    EXPECT_EQ(listed(), (Names{"Eve", "Finn"}));
    EXPECT_EQ(answers(store), expected);
    EXPECT_EQ(store.EnumRegKey(kUsers + std::string("\\Eve\\Saves"), 0), kNotFound);
    EXPECT_EQ(store.GetRegValue(kUsers + std::string("\\Eve\\Saves"), "DatabaseName"), "1");
}

TEST_F(WineRegistry, LongValuesAndNotFoundEndTheListingChangesAreReadAndA32BitPrefixHasOneView) {
    // The ANSI call's buffer holds 2047 characters and the closing zero.
    prefix.writeRegistry(profileKey("Long", std::string(2048, 'x')) + profileKey("Not Found", "2") +
                         profileKey("Zed", "3"));
    EXPECT_EQ(databaseName("Long"), kNotFound);
    EXPECT_EQ(listed(), Names{"Long"});
    // A registry that changes is read again at the next listing; one that goes holds no keys.
    prefix.writeRegistry(profileKey("Alice", "1") + profileKey("Bob", "2"));
    EXPECT_EQ(listed(), (Names{"Alice", "Bob"}));
    std::filesystem::remove(prefix.path() + "/system.reg");
    EXPECT_EQ(listed(), Names{});
    // That a 64-bit prefix looks in the 32-bit view only is checked against Wine itself
    // (real_wine_test.cpp); a 32-bit prefix has no other view.
    prefix.writeRegistry(profileKey("Thirty-two", "1") +
                             "[Software\\\\Visual Sciences\\\\Windows Lemmings\\\\Users\\\\"
                             "Sixty-four] 1\n\n",
                         "win32");
    EXPECT_EQ(listed(), Names{"Sixty-four"});
}

TEST_F(WineRegistry, ARegistryCutAnywhereIsReadWithoutHarm) {
    prefix.writeRegistry(profileKey("Zo\\xeb \\\"q\\\"", "C:\\\\\\x20acab") +
                         usersKey("Hex", R"("DatabaseName"=hex(1):43,00,3a,00,5c,00,\
  41,00,00,00
"N"=dword:0000001)"));
    auto bytes = testing::readBytes(prefix.path() + "/system.reg");
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        // A new file each time: rewriting one in place makes ext4 flush it to the disk.
        std::filesystem::remove(prefix.path() + "/system.reg");
        testing::writeBytes(prefix.path() + "/system.reg", std::span(bytes).first(length));
        WinePrefixStore fresh(prefix.path());
        for (const std::string& name : listProfiles(fresh, kUsers))
            fresh.GetRegValue(profileKeyPath(kUsers, name), "DatabaseName");
    }
    EXPECT_EQ(databaseName("Hex"), "C:\\A");
}

} // namespace
} // namespace quillfen
