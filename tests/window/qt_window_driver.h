#pragma once

#include "scenarios/window_script.h"
#include "window_test_support.h"

namespace quillfen::testing {

// Drives a Session's window through its own controls, as window_script.h describes: mouse
// clicks on buttons and rows, F2 and typing in the tree, Alt and the menus' mnemonics, the Menu
// key on the tree.
class QtWindowDriver : public script::WindowDriver {
public:
    explicit QtWindowDriver(Session& session) : s_(session) {}

    std::string answer(const std::string& word) override;
    std::string click(const std::string& control) override;
    std::string selectNode(const std::string& key) override;
    std::string selectFiles(const std::vector<int>& rows) override;
    std::string rename(const std::string& key, const std::string& text) override;
    std::string key(const std::string& menuItem) override;
    std::string menu(const std::string& menu, const std::string& menuItem) override;
    std::string context(const std::string& key, const std::string& menuItem) override;
    std::string type(const std::string& control, const std::string& text) override;
    std::string close() override;
    std::string dropFiles(const std::string& key, const std::vector<std::string>& paths) override;
    std::string dragFiles(const std::string& key) override;
    std::string dragLevel(const std::string& key, int row) override;
    std::string openFile(const std::string& path) override;
    std::string openFolder(const std::string& name) override;
    std::string selectProblem(const std::string& key) override;
    std::string resize(int width, int height) override;
    bool waitFor(const std::function<bool()>& holds) override;

    std::vector<std::string> rowsUnder(const std::string& key) const override;
    std::string rowText(const std::string& key) const override;
    std::string rowMark(const std::string& key) const override;
    std::vector<std::string> listedFiles() const override;
    std::vector<std::string> folderRows() const override;
    std::string currentFile() const override;
    std::string boxText(const std::string& control) const override;
    std::string statusText() const override;
    std::string lastMessage() const override;
    std::string lastQuestion() const override;
    std::string caption() const override;
    std::vector<std::vector<std::string>> problemRows() const override;
    int widthOf(const std::string& control) const override;
    bool closed() const override;
    const Editor* editor() const override;

private:
    // The node's row, scrolled into sight; invalid when there is no such node.
    QModelIndex row(const std::string& key) const;
    // Chooses the item of an open popup menu by its mnemonic.
    std::string choose(const char* popup, const std::string& menuItem);
    // What a drag ending over the tree's viewport at `at` hands the view.
    std::string drop(QMimeData* data, Qt::DropAction action, QPoint at);

    Session& s_;
};

} // namespace quillfen::testing
