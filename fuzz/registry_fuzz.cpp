// Any text as system.reg: the answer for a key is the same whatever was asked before, however
// its path is spelt, and every subkey listed exists.
#include "fuzz_support.h"
#include "profiles/wine_registry.h"
#include "profiles/wine_text.h"

#include <algorithm>
#include <cstdint>

using namespace quillfen;

namespace {

struct Answer {
    bool exists = false;
    std::optional<std::vector<std::u16string>> subkeys;
    std::optional<RegistryValue> database, standard;

    bool operator==(const Answer& other) const {
        auto same = [](const std::optional<RegistryValue>& a,
                       const std::optional<RegistryValue>& b) {
            return a.has_value() == b.has_value() &&
                   (!a || (a->type == b->type && a->data == b->data));
        };
        return exists == other.exists && subkeys == other.subkeys &&
               same(database, other.database) && same(standard, other.standard);
    }
};

Answer ask(WineRegistry& registry, std::u16string_view key) {
    return {registry.exists(key), registry.subkeys(key), registry.value(key, u"DatabaseName"),
            registry.value(key, u"")};
}

// The same path with a leading, a doubled and a closing separator, in upper case.
std::u16string oddSpelling(std::u16string_view key) {
    std::u16string out = u"\\";
    for (char16_t unit : key) {
        out += unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - (u'a' - u'A')) : unit;
        if (unit == u'\\')
            out += u'\\';
    }
    return out + u"\\";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = fuzz::workFolder() + "/system.reg";
    fuzz::writeFile(path, {reinterpret_cast<const char*>(data), size});

    // The keys a walk from the root meets, a few levels deep, each answered as the walk met it.
    WineRegistry walk(path);
    walk.refresh();
    std::vector<std::pair<std::u16string, Answer>> met;
    std::vector<std::u16string> waiting = {u""};
    while (!waiting.empty() && met.size() < 32) {
        std::u16string key = waiting.front();
        waiting.erase(waiting.begin());
        Answer answer = ask(walk, key);
        fuzz::require(answer.exists == answer.subkeys.has_value(), "a key that exists lists");
        if (answer.subkeys && std::count(key.begin(), key.end(), u'\\') < 6) {
            for (const auto& name : *answer.subkeys) {
                fuzz::require(!name.empty() && name.find(u'\\') == std::u16string::npos,
                              "a subkey's name is one path component");
                waiting.push_back(key.empty() ? name : key + u'\\' + name);
            }
        }
        met.emplace_back(std::move(key), std::move(answer));
    }

    for (const auto& [key, answer] : met) {
        WineRegistry fresh(path);
        fresh.refresh();
        fuzz::require(ask(fresh, key) == answer, "a key asked first answers as after others");
        fuzz::require(ask(fresh, oddSpelling(key)) == answer,
                      "extra separators and case change nothing");
        fuzz::require(answer.exists, "a listed subkey exists");
    }
    return 0;
}
