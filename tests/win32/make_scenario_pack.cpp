// make_scenario_pack PATH: writes the DOS level pack of two levels that the user scenarios
// import (LEMM\PACKS\LEVEL000.DAT of their fixture), packed by the tests' own compressor.
#include "host/file_write.h"
#include "host/windows_text.h"
#include "levelfile/make_pack.h"

#include <cstdio>
#include <shellapi.h>

int main() {
    int count = 0;
    wchar_t** words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!words || count != 2)
        return 2;
    const std::string path = quillfen::narrowed(words[1]);
    ::LocalFree(words);
    const auto pack =
        quillfen::testing::makePack({quillfen::testing::packLevel(1, 40, "RAINY DAY"),
                                     quillfen::testing::packLevel(2, 60, "SUNNY DAY")});
    if (auto written = quillfen::writeFile(path, pack); !written) {
        std::fprintf(stderr, "%s\n", written.error().c_str());
        return 1;
    }
    return 0;
}
