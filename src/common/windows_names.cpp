#include "common/windows_names.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>

namespace quillfen {
namespace {

constexpr std::string_view kForbidden = "\\/:*?\"<>|";

bool forbidden(char c) {
    return static_cast<unsigned char>(c) < 0x20 || kForbidden.find(c) != std::string_view::npos;
}

// Windows opens the device whatever follows its name after a dot, and drops the spaces before
// that dot: "con.txt" and "NUL .lvl" are devices too.
bool deviceName(std::string_view name) {
    std::string base(name.substr(0, name.find('.')));
    base.erase(base.find_last_not_of(' ') + 1);
    std::transform(base.begin(), base.end(), base.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
    if (std::find(kDevices.begin(), kDevices.end(), base) != kDevices.end())
        return true;
    // Windows 10 takes the superscript digits 1, 2 and 3 (0xB9, 0xB2, 0xB3) as the digits.
    constexpr std::string_view kDigits = "123456789\xB9\xB2\xB3";
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
           kDigits.find(base[3]) != std::string_view::npos;
}

} // namespace

std::string windowsNameRefusal(std::string_view name, std::string_view what) {
    // Appended piece by piece: GCC 12 at -O3 takes "literal" + std::string for overlapping copies.
    std::string refusal = "the ";
    refusal.append(what);
    if (name.empty())
        return refusal.append(" cannot be empty");
    refusal.append(" '").append(escapedControls(name)).append("'");
    if (auto bad = std::find_if(name.begin(), name.end(), forbidden); bad != name.end()) {
        if (static_cast<unsigned char>(*bad) < 0x20)
            refusal.append(" holds a control character (").append(escapedControls({bad, 1}) + ")");
        else
            refusal.append(" holds '").append(1, *bad).append("'");
        return refusal.append(", which Windows does not allow in a ").append(what);
    }
    if (name.back() == '.' || name.back() == ' ')
        return refusal.append(name.back() == '.' ? " ends in a dot" : " ends in a space")
            .append(", which Windows drops from a ")
            .append(what);
    if (deviceName(name))
        return refusal.append(" names a device, which Windows opens in place of a file");
    return {};
}

std::string windowsFolderRefusal(std::string_view folder) {
    std::string_view rest = folder;
    if (rest.size() >= 2 && rest[1] == ':' && std::isalpha(static_cast<unsigned char>(rest[0])))
        rest.remove_prefix(2);
    bool named = false;
    while (!rest.empty()) {
        std::string_view name = rest.substr(0, rest.find('\\'));
        rest.remove_prefix(std::min(rest.size(), name.size() + 1));
        if (name.empty())
            continue;
        named = true;
        if (name == "..")
            return "the folder '" + escapedControls(folder) +
                   "' holds '..', which leads out of the folder it names";
        if (std::string refusal = windowsNameRefusal(name, "folder"); !refusal.empty())
            return refusal;
    }
    return named ? std::string() : windowsNameRefusal({}, "folder");
}

std::string windowsSafeName(std::string_view name) {
    std::string safe(name);
    std::replace_if(safe.begin(), safe.end(), forbidden, '_');
    return safe;
}

std::string escapedControls(std::string_view text) {
    std::string shown;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        // 0x81, 0x8D, 0x8F, 0x90 and 0x9D become C1 control characters in UTF-8.
        bool control = byte < 0x20 || byte == 0x7F || byte == 0x81 || byte == 0x8D ||
                       byte == 0x8F || byte == 0x90 || byte == 0x9D;
        if (!control)
            shown += c;
        else if (c == '\n')
            shown += "\\n";
        else if (c == '\r')
            shown += "\\r";
        else if (c == '\t')
            shown += "\\t";
        else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02x", byte);
            shown += escape;
        }
    }
    return shown;
}

} // namespace quillfen
