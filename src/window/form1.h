#pragma once

#include "editor/editor.h"
#include "window/dialogs.h"

#include <QMainWindow>
#include <QPersistentModelIndex>
#include <array>
#include <memory>

class QAction;
class QFileSystemWatcher;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QProgressBar;
class QPushButton;
class QTreeView;

namespace quillfen {

class FolderList;
class LevelTreeModel;
class ProfileStore;
struct LevelFileList;

// The main window. It owns the Editor and every control; each handler gathers what the controls
// hold, calls one Editor action and shows its outcome. The controls keep the names of the game's
// own editor as their objectName.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    Form1(ProfileStore& store, UserInterface& ui, DisclaimerBox& disclaimer,
          QWidget* parent = nullptr);
    ~Form1() override;

    // Start-up, before the window is first shown. False when the disclaimer was declined: the
    // program then ends without having written anything.
    bool Form_Load();

    const EditorState& state() const { return editor_.state(); }
    const Editor& editor() const { return editor_; }

    // The handlers, named after their control and event.
    void Command4_Click();
    void Command9_Click();
    void Dir2_Change();
    void Command8_Click();
    void TreeView1_Click();
    void Command7_Click();
    void Command2_Click();
    void Command1_Click();
    void Command3_Click();
    void CommandDelG_Click();
    void Command5_Click();
    void Command6_Click();
    void Command12_Click();
    void Command13_Click();
    void Command10_Click();
    void Command11_Click();
    // The in-place edit of a node's text in the tree; false when the new text was refused.
    bool TreeView1_AfterLabelEdit(const LevelTreeNode* node, const QString& text);
    void lemmstartup_Click();
    void lemmkey_Click();
    // "Wine prefix...": the prefixes found that hold the game's profiles, or any folder.
    void winePrefix_Click();
    // Switches to the prefix in `folder` and remembers it; false when the user cancelled.
    bool usePrefix(const QString& folder);
    // "Import Level Pack...": the pack, then the folder for its level files.
    void importPack_Click();
    void importLevelPack(const QString& pack, const QString& folder);
    void he_Click();
    void undo_Click();
    void redo_Click();
    // A new choice in the profile box.
    void Combo1_Click();

    // The path field's folder (a Windows path mapped through the prefix), and the desktop's
    // folder chooser.
    void Dir2Path_Enter();
    void Dir2Browse_Click();
    // Level files dropped on a set (from the file list or a file manager), and a level dropped
    // at another row of its set.
    void filesDropped(const LevelTreeNode* set, const QStringList& paths);
    void levelDropped(const LevelTreeNode* level, int row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenus();
    void connectControls();

    void fillProfiles(const std::vector<std::string>& names, bool selectFirst);
    // Points the level-file list at `folder`.
    void listLevelFiles(const QString& folder);
    // Greys the files from `from` on that are not Windows level files, with the reason as tip.
    void markOtherFiles(int listing, int from);
    // What the level-file list shows.
    LevelFileList levelFileList() const;
    // Runs an editing action and brings the view up to the tree's new state.
    template <class Action> void runEdit(Action action);
    void showOutcome(const Outcome& outcome);
    void showPanel(const DetailPanel& panel);
    // The caption, the Edit menu and the progress bar's reset after an action.
    void showDocumentState();
    void showCoreSelection();
    void selectionChanged(const QModelIndex& current);
    void deleteSelected();
    Progress progressBar();

    ProfileStore& store_;
    UserInterface& ui_;
    DisclaimerBox& disclaimer_;
    Editor editor_;
    // The registry of a prefix the user chose in the window.
    std::unique_ptr<ProfileStore> chosenStore_;
    // The profile box's text before the user's last choice, to go back to on Cancel.
    QString chosenProfile_;

    QWidget* central_ = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QPushButton* Command4 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Dir2Path = nullptr;
    QPushButton* Dir2Browse = nullptr;
    FolderList* Dir2 = nullptr;
    QListWidget* Dir1 = nullptr;
    QLabel* countLabel = nullptr;
    QPushButton* Command6 = nullptr;
    QPushButton* Command3 = nullptr;
    QTreeView* TreeView1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* CommandDelG = nullptr;
    QPushButton* Command12 = nullptr;
    QPushButton* Command13 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command5 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* Command10 = nullptr;
    QPushButton* Command8 = nullptr;
    QLineEdit* Text2 = nullptr;
    QPushButton* Command11 = nullptr;
    QPushButton* Command9 = nullptr;
    QLineEdit* numlemm = nullptr;
    std::array<QLineEdit*, 8> action{};
    QPushButton* Command7 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* statusLabel = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QMenu* op_menu = nullptr;
    QAction* lemmstartup = nullptr;
    QAction* lemmkey = nullptr;
    QAction* he = nullptr;
    QAction* winePrefix = nullptr;
    QAction* importPack = nullptr;
    QMenu* editMenu = nullptr;
    QAction* undoAction = nullptr;
    QAction* redoAction = nullptr;

    LevelTreeModel* model_ = nullptr;
    // While a core command changes the tree, and while the window moves the view's selection to
    // the core's, the view's selection changes are no clicks.
    bool followingCore_ = false;
    // The current node when a mouse button went down in the tree: a click on it is a click
    // that did not change the selection, and it reads the panel again.
    QPersistentModelIndex currentAtPress_;
    // Counts the level-file listings, so that marking an old one stops.
    int listing_ = 0;
};

} // namespace quillfen
