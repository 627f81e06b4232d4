// level: a level file's title and counts, and Save Level Info from the command line.
#include "cli/cli_common.h"
#include "cli/commands.h"
#include "cli/printing_user_interface.h"
#include "database/file_io.h"
#include "levelfile/level_file.h"

#include <algorithm>
#include <iostream>

namespace quillfen::cli {
namespace {

constexpr char kLevelUsage[] = "level FILE [--set NAME=N]...  (NAME: lemmings, climbers, "
                               "floaters, bombers, blockers, builders, bashers, miners, diggers)";

using Boxes = std::array<std::string, levelfile::kCountsCount>;

// The counts named on the command line, over the ones the file holds now. Nullopt when a
// --set is malformed or names no count.
std::optional<std::vector<std::pair<std::size_t, std::string>>> parseSets(const Args& args) {
    std::vector<std::pair<std::size_t, std::string>> sets;
    for (std::size_t i = 1; i < args.size(); i += 2) {
        if (args[i] != "--set" || i + 1 >= args.size())
            return std::nullopt;
        const std::string& assignment = args[i + 1];
        auto equals = assignment.find('=');
        if (equals == std::string::npos)
            return std::nullopt;
        std::string name = assignment.substr(0, equals);
        const auto& names = levelfile::kCountNames;
        auto found = std::find(names.begin(), names.end(), name);
        if (found == names.end())
            return std::nullopt;
        sets.emplace_back(static_cast<std::size_t>(found - names.begin()),
                          assignment.substr(equals + 1));
    }
    return sets;
}

void printLevel(const std::string& title, const levelfile::Counts& counts) {
    std::cout << "{\"title\": " << jsonString(title);
    for (std::size_t i = 0; i < levelfile::kCountsCount; ++i) {
        std::cout << ", \"" << levelfile::kCountNames[i] << "\": ";
        if (counts[i])
            std::cout << static_cast<int>(*counts[i]);
        else
            std::cout << "null"; // beyond the end of a short file
    }
    std::cout << "}\n";
}

} // namespace

int levelCommand(const Args& args) {
    auto sets = args.empty() ? std::nullopt : parseSets(args);
    if (!sets)
        return usage(kLevelUsage);
    const std::string& path = args[0];

    if (!sets->empty()) {
        // Counts not named keep what the file holds; Save Level Info itself refuses a file that
        // is not there or too short, so a count it lacks is only a stand-in here.
        Boxes boxes;
        boxes.fill("0");
        if (auto now = levelfile::readCounts(path)) {
            for (std::size_t i = 0; i < boxes.size(); ++i)
                if ((*now)[i])
                    boxes[i] = std::to_string(*(*now)[i]);
        }
        for (const auto& [index, text] : *sets)
            boxes[index] = text;
        PrintingUserInterface ui;
        if (!levelfile::SaveLevelInfo(path, boxes, ui))
            return kRefused;
    }

    auto counts = levelfile::readCounts(path);
    if (!counts)
        return refuse(explained("ERROR: cannot read the level file: ", counts.error()));
    auto title = levelfile::readTitle(path);
    if (!title)
        return refuse(explained("ERROR: cannot read the level file: ", title.error()));
    printLevel(*title, *counts);
    return kDone;
}

} // namespace quillfen::cli
