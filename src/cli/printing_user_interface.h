#pragma once

#include "common/user_interface.h"
#include "editor/editor.h"
#include "profiles/profile_store.h"

#include <deque>
#include <iostream>
#include <memory>

namespace quillfen::cli {

// The command-line tool's user: every message goes to stderr as UTF-8, and the questions are
// answered from its arguments: Yes to every question, the queued texts to the input boxes.
class PrintingUserInterface : public UserInterface {
public:
    // Answers to input(), in order; when empty, the empty text (Cancel).
    std::deque<TextAnswer> inputs;

    bool agree(const std::string&, const std::string&) override { return true; }
    void message(const std::string& text) override { std::cerr << text << "\n"; }
    bool confirm(const std::string&, const std::string&, bool = true) override { return true; }
    bool proceed(const std::string&, const std::string&, const std::string&, bool = true) override {
        return true;
    }
    SaveChoice askToSave(const std::string&) override { return SaveChoice::Cancel; }
    TextAnswer input(const std::string&, const std::string&, const std::string&) override {
        if (inputs.empty())
            return {};
        TextAnswer answer = inputs.front();
        inputs.pop_front();
        return answer;
    }
};

struct CommandLine;

// The registry and the drives that a command works on: the Wine prefix of --prefix, else the
// default one; on Windows without --prefix, the registry of the Windows it runs on.
std::unique_ptr<ProfileStore> openStore(const CommandLine& line);

// The Editor that a command runs its loads, saves and writes through: its user prints and
// answers as above, and its registry is `store` (the default Wine prefix's unless given).
struct EditorSession {
    explicit EditorSession(std::unique_ptr<ProfileStore> profiles =
                               std::make_unique<WinePrefixStore>(WinePrefixStore::defaultPrefix()))
        : store(std::move(profiles)), editor(*store, ui) {}

    // The game's folder from now on: --game DIR when the command line gives it, else as the
    // windows look for it, the folder chosen with Options > Game folder... first.
    void useGame(const CommandLine& line);
    // A profile command's start: --key PATH (the default key without it), the game's folder
    // (useGame), then the profile `name` loaded. False after saying why.
    bool loadProfile(const CommandLine& line, const std::string& name);

    PrintingUserInterface ui;
    std::unique_ptr<ProfileStore> store;
    Editor editor;
};

} // namespace quillfen::cli
