#include "scenarios/window_script.h"

#include "database/database_writer.h"
#include "editor/editor.h"
#include "editor/window_texts.h"
#include "host/file_io.h"
#include "host/file_write.h"
#include "levelfile/level_file.h"
#include "profiles/profile_load_save.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace quillfen::script {
namespace {

// The line's first word and the rest after one space.
std::pair<std::string, std::string> splitWord(const std::string& line) {
    const auto space = line.find(' ');
    if (space == std::string::npos)
        return {line, {}};
    return {line.substr(0, space), line.substr(space + 1)};
}

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> all;
    for (std::string word; in >> word;)
        all.push_back(word);
    return all;
}

std::string joined(const std::vector<std::string>& all) {
    std::string text;
    for (const std::string& word : all)
        text += (text.empty() ? "" : " ") + word;
    return text;
}

std::string expectEqual(const std::string& what, const std::string& shown,
                        const std::string& expected) {
    if (shown == expected)
        return {};
    return what + ": the window shows \"" + shown + "\", expected \"" + expected + "\"";
}

std::string expectSaved(const Editor* editor) {
    if (editor == nullptr || editor->loadedProfileFile().empty())
        return "expect-saved: no profile is loaded";
    auto bytes = readProfileFile(editor->loadedProfileFile());
    if (!bytes)
        return "expect-saved: " + bytes.error();
    if (*bytes != encodeDatabase(editor->tree()))
        return "expect-saved: " + editor->loadedProfileFile() + " does not hold the tree shown";
    return {};
}

std::string expectCounts(const Editor* editor, const std::string& rest) {
    auto [file, counts] = splitWord(rest);
    if (editor == nullptr)
        return "expect-counts: the window is gone";
    const auto held = editor->levelCounts(levelfile::levelFilePath(editor->levelFolder(), file));
    return expectEqual("expect-counts " + file,
                       joined(std::vector<std::string>(held.begin(), held.end())),
                       joined(words(counts)));
}

// A copy made from outside the window, as a file manager makes it.
std::string addFile(const Editor* editor, const std::string& name, const std::string& from) {
    if (editor == nullptr)
        return "add-file: the window is gone";
    auto bytes = readWholeFile(levelfile::levelFilePath(editor->levelFolder(), from), 1 << 20);
    if (!bytes)
        return "add-file: " + bytes.error();
    Status written = writeFile(levelfile::levelFilePath(editor->levelFolder(), name), *bytes);
    return written ? std::string() : "add-file: " + written.error();
}

// A folder made from outside the window: in the folder list's folder, or beside it (../NAME).
std::string addFolder(const Editor* editor, const std::string& name) {
    if (editor == nullptr)
        return "add-folder: the window is gone";
    const std::string folder = editor->levelFolder();
    Status made = name.starts_with("../") ? createFolder(pathIn(folderOf(folder), name.substr(3)))
                                          : createFolder(pathIn(folder, name));
    return made ? std::string() : "add-folder: " + made.error();
}

// The rows of node `key` (-: the install's) in View > Problems, each its cells joined.
std::string expectProblem(const WindowDriver& driver, const std::string& key,
                          const std::string& text) {
    std::vector<std::string> rows;
    for (const std::vector<std::string>& cells : driver.problemRows())
        if (cells.size() == std::size(window::kProblemColumns) &&
            cells[window::kProblemKeyColumn] == (key == "-" ? "" : key))
            rows.push_back(joined(cells));
    const bool shown = std::any_of(rows.begin(), rows.end(), [&](const std::string& row) {
        return row.find(text) != std::string::npos;
    });
    if (text == "none" ? rows.empty() : shown)
        return {};
    return "expect-problem " + key + " " + text + ": the rows of " + key + " are [" + joined(rows) +
           "]";
}

std::optional<int> number(const std::string& word) {
    int value = 0;
    if (std::from_chars(word.data(), word.data() + word.size(), value).ec != std::errc())
        return std::nullopt;
    return value;
}

} // namespace

std::vector<Scenario> readScenarios(const std::string& text) {
    std::vector<Scenario> scenarios;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        auto [verb, rest] = splitWord(line);
        if (verb == "scenario")
            scenarios.push_back({rest, {}});
        else if (!scenarios.empty())
            scenarios.back().lines.push_back(line);
    }
    return scenarios;
}

std::string runLine(const std::string& line, WindowDriver& driver) {
    auto [verb, rest] = splitWord(line);
    auto [first, last] = splitWord(rest);
    if (verb == "answer")
        return driver.answer(rest);
    if (verb == "click")
        return driver.click(rest);
    if (verb == "select-node")
        return driver.selectNode(rest);
    if (verb == "select-files") {
        std::vector<int> rows;
        for (const std::string& row : words(rest)) {
            if (!number(row))
                return "not a row: " + row;
            rows.push_back(*number(row));
        }
        return driver.selectFiles(rows);
    }
    if (verb == "rename")
        return driver.rename(first, last);
    if (verb == "key")
        return driver.key(rest);
    if (verb == "menu")
        return driver.menu(first, last);
    if (verb == "context")
        return driver.context(first, last);
    if (verb == "type")
        return driver.type(first, last);
    if (verb == "close")
        return driver.close();
    if (verb == "drop-files") {
        if (driver.editor() == nullptr)
            return line + ": the window is gone";
        std::vector<std::string> paths;
        for (const std::string& name : words(last))
            paths.push_back(levelfile::levelFilePath(driver.editor()->levelFolder(), name));
        return driver.dropFiles(first, paths);
    }
    if (verb == "drag-files")
        return driver.dragFiles(rest);
    if (verb == "drag-level")
        return number(last) ? driver.dragLevel(first, *number(last)) : "not a row: " + last;
    if (verb == "open-file")
        return driver.openFile(rest);
    if (verb == "add-file")
        return addFile(driver.editor(), first, last);
    if (verb == "add-folder")
        return addFolder(driver.editor(), rest);
    if (verb == "open-folder")
        return driver.openFolder(rest);
    if (verb == "expect-folders") {
        const std::vector<std::string> expected = words(rest);
        auto shown = [&] {
            const std::vector<std::string> rows = driver.folderRows();
            const auto from =
                std::find(rows.begin(), rows.end(), expected.empty() ? "" : expected[0]);
            return joined(from == rows.end() ? rows : std::vector(from, rows.end()));
        };
        driver.waitFor([&] { return shown() == joined(expected); });
        return expectEqual(line, shown(), joined(expected));
    }
    if (verb == "expect-listed") {
        const std::string expected = joined(words(rest));
        driver.waitFor([&] { return joined(driver.listedFiles()) == expected; });
        return expectEqual(line, joined(driver.listedFiles()), expected);
    }
    if (verb == "expect-current-file")
        return expectEqual(line, driver.currentFile(), rest);
    if (verb == "expect-rows")
        return expectEqual(line, joined(driver.rowsUnder(first)), last);
    if (verb == "expect-text")
        return expectEqual(line, driver.rowText(first), last);
    if (verb == "expect-box")
        return expectEqual(line, driver.boxText(first), last);
    if (verb == "expect-status")
        return driver.statusText().find(rest) != std::string::npos
                   ? std::string()
                   : expectEqual(line, driver.statusText(), rest);
    if (verb == "expect-message")
        return expectEqual(line, driver.lastMessage(), rest);
    if (verb == "expect-asked")
        return driver.lastQuestion().find(rest) != std::string::npos
                   ? std::string()
                   : expectEqual(line, driver.lastQuestion(), rest);
    if (verb == "expect-caption")
        return driver.caption().find(rest) != std::string::npos
                   ? std::string()
                   : expectEqual(line, driver.caption(), rest);
    if (verb == "expect-modified")
        return expectEqual(line, driver.caption().find('*') != std::string::npos ? "yes" : "no",
                           rest);
    if (verb == "expect-saved")
        return expectSaved(driver.editor());
    if (verb == "expect-counts")
        return expectCounts(driver.editor(), rest);
    if (verb == "select-problem")
        return driver.selectProblem(rest);
    if (verb == "expect-problem")
        return expectProblem(driver, first, last);
    if (verb == "expect-mark") {
        const std::string mark = driver.rowMark(first);
        if (last == "none" ? mark.empty() : mark.find(last) != std::string::npos)
            return {};
        return line + ": the mark's tooltip is '" + mark + "'";
    }
    if (verb == "window-size") {
        auto [width, height] = splitWord(rest);
        return number(width) && number(height) ? driver.resize(*number(width), *number(height))
                                               : "not a size: " + rest;
    }
    if (verb == "expect-width") {
        const std::optional<int> least = number(last);
        driver.waitFor([&] { return least && driver.widthOf(first) >= *least; });
        if (least && driver.widthOf(first) >= *least)
            return {};
        return line + ": it is " + std::to_string(driver.widthOf(first)) + " pixels wide";
    }
    if (verb == "expect-closed")
        return driver.closed() ? std::string() : line + ": the window is still open";
    return "unknown line: " + line;
}

} // namespace quillfen::script
