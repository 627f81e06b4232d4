#include "profiles/windows_paths.h"

#include <algorithm>
#include <cctype>

namespace quillfen {
namespace {

bool isWindowsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The device a name stands for, as Windows reads it: the part before any extension, without its
// trailing spaces; empty when it is no device.
std::string_view deviceOf(std::string_view name) {
    std::string_view base = name.substr(0, name.find('.'));
    base = base.substr(0, base.find_last_not_of(' ') + 1);
    std::string upper(base);
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) {
        return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    });
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL")
        return base;
    if ((upper.starts_with("COM") || upper.starts_with("LPT")) && upper.size() == 4 &&
        upper[3] >= '1' && upper[3] <= '9')
        return base;
    return {};
}

} // namespace

bool hasDriveLetter(std::string_view windowsPath) {
    auto letter = static_cast<unsigned char>(windowsPath.empty() ? 0 : windowsPath[0]);
    return windowsPath.size() >= 2 && windowsPath[1] == ':' && letter < 0x80 &&
           std::isalpha(letter);
}

bool isFullWindowsPath(std::string_view windowsPath) {
    return hasDriveLetter(windowsPath) && windowsPath.size() > 2 &&
           isWindowsSeparator(windowsPath[2]);
}

std::vector<std::string_view> windowsNames(std::string_view path) {
    std::vector<std::string_view> names;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !isWindowsSeparator(path[i]))
            continue;
        std::string_view name = path.substr(start, i - start);
        start = i + 1;
        if (name == ".")
            continue;
        if (name == "..") {
            if (!names.empty())
                names.pop_back();
            continue;
        }
        // The system drops them before it looks for the name: "LEMM.\ALICE.DAT. " is
        // "LEMM\ALICE.DAT".
        bool last = i == path.size();
        name = name.substr(0, name.find_last_not_of(last ? ". " : ".") + 1);
        if (!name.empty())
            names.push_back(name);
    }
    return names;
}

std::string unusableWindowsPath(std::string_view windowsPath) {
    if (windowsPath.size() >= 2 && isWindowsSeparator(windowsPath[0]) &&
        isWindowsSeparator(windowsPath[1]))
        return "it is a network or device path";
    std::string_view rest = hasDriveLetter(windowsPath) ? windowsPath.substr(2) : windowsPath;
    for (char c : rest) {
        if (c == ':')
            return "Windows allows : only after the drive";
        if (static_cast<unsigned char>(c) < 0x20)
            return "Windows allows no control character in a name";
        if (std::string_view("*?\"<>|").find(c) != std::string_view::npos)
            return std::string("Windows allows no ") + c + " in a name";
    }
    for (std::string_view name : windowsNames(rest))
        if (auto device = deviceOf(name); !device.empty())
            return std::string(device) + " is the name of a device";
    return {};
}

} // namespace quillfen
