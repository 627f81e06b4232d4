// The store over system.reg files written by hand exactly as wineserver writes them: the
// escapes, value types, key order and views that a real prefix holds.
#include "database/scripted_user_interface.h"
#include "hand_prefix.h"
#include "profiles/profile_commands.h"
#include "profiles/profile_store.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

using testing::HandPrefix;
using testing::profileKey;

constexpr char kUsers[] = "SOFTWARE\\Visual Sciences\\Windows Lemmings\\Users";

std::vector<std::string> listed(ProfileStore& store, const std::string& key = kUsers) {
    ScriptedUserInterface ui;
    return LoadProfiles(store, key, ui);
}

std::string databaseName(ProfileStore& store, const std::string& profile) {
    return store.GetRegValue(profileKeyPath(kUsers, profile), "DatabaseName");
}

TEST(WineRegistry, TextsComeBackFromEveryEscapeWineWrites) {
    HandPrefix prefix;
    const std::string cafe = std::string("Caf\xE9") + "ab";
    prefix.writeRegistry(profileKey(R"(Quote "q")", R"(C:\\a\"b\"\tc)") +
                         profileKey(R"(Zo\xeb)", R"(C:\\LEMM\\ZO\xcb.DAT)") +
                         // Four digits when a hex digit follows: \x00e9 then "ab".
                         profileKey(R"(Caf\x00e9ab)", R"(\x20ac \x3a9 \x00e9ab)") +
                         profileKey("Raw UTF-8 \xc3\xa9", R"(line\nbreak\rreturn\0zero)") +
                         profileKey("Brackets \\[x\\]", "C:\\\\[x].DAT"));
    WinePrefixStore store(prefix.path());

    EXPECT_EQ(listed(store), (std::vector<std::string>{"Brackets [x]", cafe, "Quote \"q\"",
                                                       "Raw UTF-8 \xE9", "Zo\xEB"}));
    EXPECT_EQ(databaseName(store, "Quote \"q\""), "C:\\a\"b\"\tc");
    EXPECT_EQ(databaseName(store, "Zo\xEB"), "C:\\LEMM\\ZO\xCB.DAT");
    // The euro sign has a Windows-1252 byte (0x80); the omega has none and becomes "?".
    EXPECT_EQ(databaseName(store, cafe), std::string("\x80 ? \xE9") + "ab");
    EXPECT_EQ(databaseName(store, "Raw UTF-8 \xE9"), std::string("line\nbreak\rreturn\0zero", 22));
    EXPECT_EQ(databaseName(store, "Brackets [x]"), "C:\\[x].DAT");
}

TEST(WineRegistry, OnlyTextValuesAreReadAndLongHexTextGoesOnOverLines) {
    HandPrefix prefix;
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
    WinePrefixStore store(prefix.path());
    std::string key = "SOFTWARE\\Test\\";
    EXPECT_EQ(store.GetRegValue(key, ""), "default");
    EXPECT_EQ(store.GetRegValue(key, "Expand"), "%SystemRoot%\\x");
    EXPECT_EQ(store.GetRegValue(key, "Number"), kNotFound);
    EXPECT_EQ(store.GetRegValue(key, "Bytes"), kNotFound);
    EXPECT_EQ(store.GetRegValue(key, "Multi"), std::string("one\0two\0", 8));
    EXPECT_EQ(store.GetRegValue(key, "LongText"), "C:\\abcdefghij");
    EXPECT_EQ(store.GetRegValue(key, "Unterminated"), "AB");
    // Value names, like key names, match without regard to case.
    EXPECT_EQ(store.GetRegValue(key, "MIXEDCASE"), "found");
    EXPECT_EQ(store.GetRegValue(key, "Missing"), kNotFound);
    EXPECT_EQ(store.GetRegValue("SOFTWARE\\NoSuchKey", "Expand"), kNotFound);
}

TEST(WineRegistry, SubkeysComeInWineOrderWithoutRegardToCase) {
    HandPrefix prefix;
    // Out of order on purpose; "Carol" exists only because a key below it does, and "ALICE" is
    // the same key as "Alice".
    prefix.writeRegistry(
        profileKey("\\xe9t\\xe9", "1") + profileKey("Banana", "2") + profileKey("Zoo", "3") +
        profileKey("\\xc4pfel", "4") + profileKey("apple", "5") + profileKey("_a", "6") +
        profileKey("Alice", "7") + profileKey("ALICE", "8") + profileKey("Carol\\\\Saves", "9"));
    WinePrefixStore store(prefix.path());
    EXPECT_EQ(listed(store), (std::vector<std::string>{"_a", "Alice", "apple", "Banana", "Carol",
                                                       "Zoo", "\xC4pfel", "\xE9t\xE9"}));
    EXPECT_EQ(databaseName(store, "Carol"), kNotFound);
    // Both lines are one key; a value given twice takes the later line, as Wine loads it.
    EXPECT_EQ(databaseName(store, "alice"), "8");
    EXPECT_EQ(store.EnumRegKey(kUsers, 8), kNotFound);
    EXPECT_EQ(store.EnumRegKey(kUsers, -1), kNotFound);
}

TEST(WineRegistry, KeyPathsMatchWithoutRegardToCaseOrExtraBackslashes) {
    HandPrefix prefix;
    prefix.writeRegistry(profileKey("Alice", "C:\\\\ALICE.DAT"));
    WinePrefixStore store(prefix.path());
    for (const char* key : {"SOFTWARE\\Visual Sciences\\Windows Lemmings\\Users\\Alice\\",
                            "software\\visual sciences\\WINDOWS LEMMINGS\\users\\ALICE",
                            "SOFTWARE\\\\Visual Sciences\\Windows Lemmings\\Users\\\\Alice"})
        EXPECT_EQ(store.GetRegValue(key, "DatabaseName"), "C:\\ALICE.DAT") << key;
    // A name that only begins like the wanted one is another key.
    EXPECT_EQ(store.GetRegValue("SOFTWARE\\Visual Sciences\\Windows Lemmings\\Users\\Ali\\",
                                "DatabaseName"),
              kNotFound);
    EXPECT_EQ(listed(store, "SOFTWARE\\Visual Sciences\\Windows Lemmings\\User"),
              std::vector<std::string>{});
}

TEST(WineRegistry, A64BitPrefixLooksInThe32BitViewFirstAndFallsBackToThePathAsGiven) {
    HandPrefix prefix;
    std::string keys =
        profileKey("Thirty-two", "C:\\\\32.DAT") +
        R"([Software\\Visual Sciences\\Windows Lemmings\\Users\\Sixty-four] 1796565633
"DatabaseName"="C:\\64.DAT"

[Software\\Only64\\Users\\Native] 1796565633
"DatabaseName"="C:\\NATIVE.DAT"

)";
    prefix.writeRegistry(keys);
    WinePrefixStore store(prefix.path());
    // The game sees only the Wow6432Node profiles while that key exists.
    EXPECT_EQ(listed(store), std::vector<std::string>{"Thirty-two"});
    EXPECT_EQ(listed(store, "SOFTWARE\\Only64\\Users"), std::vector<std::string>{"Native"});
    EXPECT_EQ(listed(store, "SOFTWARE\\Wow6432Node\\Visual Sciences\\Windows Lemmings\\Users"),
              std::vector<std::string>{"Thirty-two"});

    // A 32-bit prefix has no second view: the path is taken as it is.
    prefix.writeRegistry(keys, "win32");
    WinePrefixStore win32(prefix.path());
    EXPECT_EQ(listed(win32), std::vector<std::string>{"Sixty-four"});
}

TEST(WineRegistry, LongerValuesThanTheAnsiBuffersAreNotReadAndNotFoundEndsTheListing) {
    HandPrefix prefix;
    prefix.writeRegistry(profileKey("Alice", std::string(2047, 'x')) +
                         profileKey("TooLong", std::string(2048, 'x')) +
                         profileKey("Not Found", "2") + profileKey("Zed", "3"));
    WinePrefixStore store(prefix.path());
    EXPECT_EQ(databaseName(store, "Alice"), std::string(2047, 'x'));
    EXPECT_EQ(databaseName(store, "TooLong"), kNotFound);
    EXPECT_EQ(listed(store), std::vector<std::string>{"Alice"});
    ScriptedUserInterface ui;
    EXPECT_EQ(GetDatabaseFile(store, kUsers, "Zed", ui), "");
    EXPECT_EQ(ui.messages, std::vector<std::string>{kProfileNotFound});
}

TEST(WineRegistry, ARegistryThatChangesIsReadAgainAtTheNextListing) {
    HandPrefix prefix;
    prefix.writeRegistry(profileKey("Alice", "1"));
    WinePrefixStore store(prefix.path());
    ASSERT_EQ(listed(store), std::vector<std::string>{"Alice"});

    prefix.writeRegistry(profileKey("Alice", "1") + profileKey("Bob", "2"));
    EXPECT_EQ(listed(store), (std::vector<std::string>{"Alice", "Bob"}));

    std::filesystem::remove(prefix.path() + "/system.reg");
    ScriptedUserInterface ui;
    EXPECT_TRUE(LoadProfiles(store, kUsers, ui).empty());
    EXPECT_EQ(ui.messages, std::vector<std::string>{kNoProfiles});
}

TEST(WineRegistry, ARegistryCutAnywhereIsReadWithoutHarm) {
    HandPrefix prefix;
    std::string keys = profileKey("Zo\\xeb \\\"q\\\"", "C:\\\\\\x20acab") +
                       R"([Software\\Wow6432Node\\Visual Sciences\\Windows Lemmings\\Users\\Hex] 1
"DatabaseName"=hex(1):43,00,3a,00,5c,00,\
  41,00,00,00
"N"=dword:0000001
)";
    prefix.writeRegistry(keys);
    auto bytes = testing::readBytes(prefix.path() + "/system.reg");
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        // A new file each time: rewriting one in place makes ext4 flush it to the disk.
        std::filesystem::remove(prefix.path() + "/system.reg");
        testing::writeBytes(prefix.path() + "/system.reg", std::span(bytes).first(length));
        WinePrefixStore store(prefix.path());
        for (const std::string& name : listed(store))
            databaseName(store, name);
    }
    WinePrefixStore store(prefix.path());
    EXPECT_EQ(databaseName(store, "Hex"), "C:\\A");
}

} // namespace
} // namespace quillfen
