#include "profiles/profile_store.h"

#include "common/windows1252.h"
#include "host/file_io.h"
#include "profiles/wine_paths.h"
#include "profiles/wine_registry.h"
#include "profiles/wine_text.h"

#include <cstdlib>

namespace quillfen {
namespace {

// The text of a value, or nullopt when it is not text.
std::optional<std::string> valueText(const RegistryValue& value) {
    if (value.type != kRegSz && value.type != kRegExpandSz && value.type != kRegMultiSz)
        return std::nullopt;
    std::u16string text;
    for (std::size_t i = 0; i + 1 < value.data.size(); i += 2)
        text += static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
    return registryText(text);
}

} // namespace

std::optional<std::string> registryText(std::u16string_view text) {
    // The game's calls read into buffers of 2048 characters, the closing zero included.
    constexpr std::size_t kBufferSize = 2048;
    text = text.substr(0, text.find(u'\0'));
    if (text.size() + 1 > kBufferSize)
        return std::nullopt;
    return utf16ToUtf8(text);
}

struct WinePrefixStore::Impl {
    std::string prefix;
    WineRegistry machine;

    // The key as a 32-bit program sees it: in a 64-bit prefix, HKLM\Software\X of a 32-bit
    // program is Software\Wow6432Node\X. The game is such a program; a key found only outside
    // that view is still taken as given.
    std::u16string view(const std::string& keyPath) {
        machine.refresh();
        std::u16string path = utf8ToUtf16(keyPath);
        if (!machine.win64())
            return path;
        auto start = path.find_first_not_of(u'\\');
        if (start == std::u16string::npos)
            return path;
        auto end = std::min(path.find(u'\\', start), path.size());
        if (!equalWithoutCase(std::u16string_view(path).substr(start, end - start), u"software"))
            return path;
        std::u16string_view rest = std::u16string_view(path).substr(end);
        auto next = rest.find_first_not_of(u'\\');
        std::u16string_view second = next == std::u16string_view::npos
                                         ? u""
                                         : rest.substr(next, rest.find(u'\\', next) - next);
        if (equalWithoutCase(second, u"wow6432node"))
            return path;
        std::u16string redirected = path.substr(0, end) + u"\\Wow6432Node" + std::u16string(rest);
        return machine.exists(redirected) ? redirected : path;
    }
};

WinePrefixStore::WinePrefixStore(std::string prefix)
    : impl_(new Impl{prefix, WineRegistry(prefix + "/system.reg")}) {}

WinePrefixStore::~WinePrefixStore() = default;

std::string WinePrefixStore::defaultPrefix() {
    const char* prefix = std::getenv("WINEPREFIX");
    if (prefix && *prefix)
        return prefix;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.wine";
}

std::string WinePrefixStore::winePrefix() const {
    return impl_->prefix;
}

std::string WinePrefixStore::EnumRegKey(const std::string& keyPath, std::int32_t position) {
    auto subkeys = impl_->machine.subkeys(impl_->view(keyPath));
    if (!subkeys || position < 0 || static_cast<std::size_t>(position) >= subkeys->size())
        return kNotFound;
    return registryText((*subkeys)[static_cast<std::size_t>(position)]).value_or(kNotFound);
}

std::string WinePrefixStore::GetRegValue(const std::string& keyPath, const std::string& valueName) {
    auto value = impl_->machine.value(impl_->view(keyPath), utf8ToUtf16(valueName));
    // Only text values are read (the game's profiles hold nothing else); a number or raw bytes
    // gives the sentinel.
    auto text = value ? valueText(*value) : std::nullopt;
    return text.value_or(kNotFound);
}

std::string WinePrefixStore::unreadable() {
    const std::string& reason = impl_->machine.readError();
    if (reason.empty())
        return {};
    std::string path = impl_->prefix + "/system.reg";
    return explained("ERROR: cannot read the registry file " + path + ": ", reason);
}

std::string WinePrefixStore::hostPath(const std::string& windowsPath) {
    return hostPathInPrefix(impl_->prefix, windowsPath);
}

} // namespace quillfen
