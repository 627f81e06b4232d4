#include "cli/cli_common.h"

#include "common/user_texts.h"
#include "common/windows1252.h"
#include "host/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iostream>

namespace quillfen::cli {

bool CommandLine::has(std::string_view name) const {
    return std::any_of(options.begin(), options.end(),
                       [&](const auto& option) { return option.first == name; });
}

std::string CommandLine::value(std::string_view name, const std::string& fallback) const {
    std::vector<std::string> given = values(name);
    return given.empty() ? fallback : given.back();
}

std::vector<std::string> CommandLine::values(std::string_view name) const {
    std::vector<std::string> given;
    for (const auto& [option, value] : options)
        if (option == name)
            given.push_back(value);
    return given;
}

std::optional<CommandLine> parseCommandLine(const Args& args, std::size_t wordCount,
                                            std::initializer_list<Option> options) {
    CommandLine line;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || !arg.starts_with("--")) {
            line.words.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        auto equals = arg.find('=');
        std::string_view name = std::string_view(arg).substr(0, equals);
        auto known = std::find_if(options.begin(), options.end(),
                                  [&](const Option& option) { return option.name == name; });
        if (known == options.end())
            return std::nullopt;
        bool joined = equals != std::string::npos;
        if (joined != known->takesValue && (joined || i + 1 == args.size()))
            return std::nullopt;
        std::string value = !known->takesValue ? "" : joined ? arg.substr(equals + 1) : args[++i];
        line.options.emplace_back(known->name, std::move(value));
    }
    if (line.words.size() != wordCount)
        return std::nullopt;
    return line;
}

int answered(int status) {
    errno = 0;
    std::cout.flush();
    bool outWritten = std::fflush(stdout) == 0 && !std::ferror(stdout) && std::cout.good();
    int error = errno;
    if (!outWritten)
        refuse("ERROR: could not write the output" +
               (error ? ": " + systemReason(error) : std::string()));
    bool errWritten = std::fflush(stderr) == 0 && !std::ferror(stderr) && std::cerr.good();
    return outWritten && errWritten ? status : kRefused;
}

int refuse(std::string_view message) {
    std::cerr << message << "\n";
    return kRefused;
}

std::optional<std::string> windows1252(const std::string& utf8Text) {
    auto text = utf8ToWindows1252(utf8Text);
    if (!text)
        refuse(unstorableText(utf8Text));
    return text;
}

std::string jsonString(std::string_view windows1252) {
    return jsonUtf8(windows1252ToUtf8(windows1252));
}

std::string jsonUtf8(std::string_view utf8) {
    std::string out = "\"";
    for (char c : utf8) {
        auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

namespace {

int depth(const LevelTree::Node* node) {
    int d = 0;
    for (; node->parent(); node = node->parent())
        ++d;
    return d;
}

void printLine(const LevelTree& tree, const LevelTree::Node& node) {
    std::cout << std::string(static_cast<std::size_t>(depth(&node)) * 2, ' ') << node.key() << " "
              << jsonString(node.text());
    if (node.kind() == NodeKind::Group)
        std::cout << " folder " << jsonString(tree.groupFolders(node.index()));
    else if (node.kind() == NodeKind::Level)
        std::cout << " file " << jsonString(tree.levelFiles(node.index()));
    std::cout << "\n";
}

void printLines(const LevelTree& tree, const std::vector<LevelTree::Node*>& nodes) {
    for (const LevelTree::Node* node : nodes) {
        printLine(tree, *node);
        for (int row = 0; row < node->children(); ++row) {
            const LevelTree::Node* child = node->child(row);
            printLine(tree, *child);
            for (int l = 0; l < child->children(); ++l)
                printLine(tree, *child->child(l));
        }
    }
}

} // namespace

void printTree(const EditorState& state, bool json) {
    const LevelTree& tree = state.tree;
    if (!json) {
        printLines(tree, tree.topLevel());
        return;
    }
    std::cout << "{\"records\": " << tree.count() << ", \"nodes\": [";
    for (int i = 1; i <= tree.count(); ++i) {
        const LevelTree::Node* node = tree.item(i);
        std::cout << (i > 1 ? ",\n  " : "\n  ") << "{\"index\": " << i
                  << ", \"key\": " << jsonString(node->key())
                  << ", \"text\": " << jsonString(node->text())
                  << ", \"children\": " << node->children();
        if (node->parent())
            std::cout << ", \"parent\": " << jsonString(node->parent()->key());
        if (node->kind() == NodeKind::Group)
            std::cout << ", \"folder\": " << jsonString(tree.groupFolders(i));
        if (node->kind() == NodeKind::Level)
            std::cout << ", \"file\": " << jsonString(tree.levelFiles(i));
        std::cout << "}";
    }
    std::cout << (tree.count() ? "\n]}\n" : "]}\n");
}

} // namespace quillfen::cli
