#include "common/windows_names.h"

#include <gtest/gtest.h>

namespace quillfen {
namespace {

TEST(WindowsNames, EachNameWindowsCannotOpenIsRefusedWithItsReason) {
    using Case = std::pair<std::string, std::string>; // the name, why Windows cannot open it
    for (const auto& [name, reason] : std::vector<Case>{
             {"", "the file name cannot be empty"},
             {"a?b.lvl", "the file name 'a?b.lvl' holds '?', which Windows does not allow in a "
                         "file name"},
             {"sub\\a.lvl", "the file name 'sub\\a.lvl' holds '\\', which Windows does not "
                            "allow in a file name"},
             {"a\nb.lvl", "the file name 'a\\nb.lvl' holds a control character (\\n), which "
                          "Windows does not allow in a file name"},
             {"\x1b[31m.lvl", "the file name '\\x1b[31m.lvl' holds a control character "
                              "(\\x1b), which Windows does not allow in a file name"},
             {"a.lvl.", "the file name 'a.lvl.' ends in a dot, which Windows drops from a file "
                        "name"},
             {"a.lvl ", "the file name 'a.lvl ' ends in a space, which Windows drops from a "
                        "file name"},
             {"con", "the file name 'con' names a device, which Windows opens in place of a "
                     "file"},
             {"Lpt9.lvl", "the file name 'Lpt9.lvl' names a device, which Windows opens in "
                          "place of a file"},
             {"com\xb2", "the file name 'com\xb2' names a device, which Windows opens in place of "
                         "a file"},
             {"NUL .tar.gz", "the file name 'NUL .tar.gz' names a device, which Windows opens "
                             "in place of a file"},
         }) {
        EXPECT_EQ(windowsNameRefusal(name), reason);
        // A safe form with an ending of its own is a name Windows opens.
        if (name.find_first_of("?\\\n\x1b") != std::string::npos) {
            EXPECT_EQ(windowsNameRefusal(windowsSafeName(name) + "_00.LVL"), "") << name;
        }
    }
    for (const char* fine :
         {"a.lvl", "CONSOLE.lvl", "com10.lvl", "LPT_1", ".lvl", "Zo\xeb", "a b", "COM1_00.LVL"})
        EXPECT_EQ(windowsNameRefusal(fine), "") << fine;
    EXPECT_EQ(windowsNameRefusal("a|b", "folder"),
              "the folder 'a|b' holds '|', which Windows does not allow in a folder");
    // Control characters are shown escaped, also those beyond ASCII.
    EXPECT_EQ(escapedControls("a\tb\r\n\x1b[2J\x7f\x9d\xe9\\x"),
              "a\\tb\\r\\n\\x1b[2J\\x7f\\x9d\xe9\\x");
}

TEST(WindowsNames, AGroupFolderIsAFolderOrAPathWhoseEveryNameWindowsOpens) {
    using Case = std::pair<std::string, std::string>; // the folder text, why it is refused
    for (const auto& [folder, reason] : std::vector<Case>{
             {"", "the folder cannot be empty"},
             {"C:\\", "the folder cannot be empty"},
             {"NE?W", "the folder 'NE?W' holds '?', which Windows does not allow in a folder"},
             {"sub\\..\\x", "the folder 'sub\\..\\x' holds '..', which leads out of the folder "
                            "it names"},
             {"C:\\LEMM\\a:b", "the folder 'a:b' holds ':', which Windows does not allow in a "
                               "folder"},
             {"CUST/X", "the folder 'CUST/X' holds '/', which Windows does not allow in a folder"},
             {"CUST\\aux", "the folder 'aux' names a device, which Windows opens in place of a "
                           "file"},
             {"CUST.", "the folder 'CUST.' ends in a dot, which Windows drops from a folder"},
         })
        EXPECT_EQ(windowsFolderRefusal(folder), reason) << folder;
    for (const char* fine :
         {"CUST", "C:\\LEMM\\LEVEL\\CUST", "\\LEMM\\MINE", "d:CUST\\", "My Levels"})
        EXPECT_EQ(windowsFolderRefusal(fine), "") << fine;
}

} // namespace
} // namespace quillfen
