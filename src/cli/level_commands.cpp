// level: a level file's title, counts and problems, and Save Level Info from the command line.
// import: a DOS level pack unpacked into level files.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/printing_user_interface.h"
#include "levelfile/level_file.h"
#include "levelfile/level_pack.h"

#include <algorithm>
#include <iostream>

namespace quillfen::cli {
namespace {

using Boxes = std::array<std::string, levelfile::kCountsCount>;

// The counts that the --set options name, in the order given. Nullopt when one is malformed or
// names no count.
std::optional<std::vector<std::pair<std::size_t, std::string>>>
parseSets(const std::vector<std::string>& assignments) {
    std::vector<std::pair<std::size_t, std::string>> sets;
    for (const std::string& assignment : assignments) {
        auto equals = assignment.find('=');
        if (equals == std::string::npos)
            return std::nullopt;
        const auto& names = levelfile::kCountNames;
        auto found = std::find(names.begin(), names.end(), assignment.substr(0, equals));
        if (found == names.end())
            return std::nullopt;
        sets.emplace_back(static_cast<std::size_t>(found - names.begin()),
                          assignment.substr(equals + 1));
    }
    return sets;
}

// The level's fields as JSON members, without the braces.
std::string levelFields(const levelfile::LevelInfo& level) {
    std::string out = "\"title\": " + jsonString(level.title);
    for (std::size_t i = 0; i < levelfile::kCountsCount; ++i)
        out += ", \"" + std::string(levelfile::kCountNames[i]) +
               "\": " + std::to_string(level.counts[i]);
    out += ", \"problems\": [";
    for (std::size_t i = 0; i < level.problems.size(); ++i)
        out += (i == 0 ? "" : ", ") + jsonString(level.problems[i]);
    return out + "]";
}

} // namespace

int levelCommand(const Args& args) {
    auto line = parseCommandLine(args, 1, {{"--set", true}});
    auto sets = line ? parseSets(line->values("--set")) : std::nullopt;
    if (!sets)
        return kUsage;
    const std::string& path = line->words[0];

    // A file that is not there or holds no level is refused in the tool's words, which name it,
    // before Save Level Info could say it in the window's.
    auto level = levelfile::readLevel(path);
    if (level && !sets->empty()) {
        // Counts not named keep what the file holds.
        EditorSession session;
        Boxes boxes = session.editor.levelCounts(path);
        for (const auto& [index, text] : *sets)
            boxes[index] = text;
        if (!session.editor.saveLevelInfoAt(path, boxes))
            return kRefused;
        level = levelfile::readLevel(path);
    }
    if (!level)
        return refuse(level.error());
    std::cout << "{" << levelFields(*level) << "}\n";
    return kDone;
}

int importCommand(const Args& args) {
    auto line = parseCommandLine(args, 1, {{"--sequel"}, {"--to", true}});
    if (!line || !line->has("--to"))
        return kUsage;
    EditorSession session;
    if (!session.editor
             .importLevelPack(line->words[0], line->value("--to"), line->has("--sequel"),
                              ImportInto::FolderOnly)
             .done)
        return kRefused;
    const levelfile::ImportPlan* plan = &session.editor.lastImport();
    std::cout << "{\"pack\": " << jsonString(plan->packName) << ", \"levels\": [";
    for (std::size_t i = 0; i < plan->levels.size(); ++i) {
        const levelfile::PlannedLevel& level = plan->levels[i];
        std::cout << (i == 0 ? "\n  " : ",\n  ") << "{\"section\": " << level.section
                  << ", \"file\": " << jsonString(level.fileName)
                  << ", \"reused\": " << (level.reused ? "true" : "false") << ", "
                  << levelFields(level.info) << "}";
    }
    std::cout << "], \"skipped\": [";
    for (std::size_t i = 0; i < plan->skipped.size(); ++i)
        std::cout << (i == 0 ? "\n  " : ",\n  ") << "{\"section\": " << plan->skipped[i].section
                  << ", \"reason\": " << jsonString(plan->skipped[i].reason) << "}";
    std::cout << "]}\n";
    return kDone;
}

} // namespace quillfen::cli
