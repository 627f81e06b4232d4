#pragma once

#include "editor/editor.h"
#include "editor/window_menus.h"
#include "window/dialogs.h"
#include "window/window_reports.h"

#include <QMainWindow>
#include <QPersistentModelIndex>
#include <array>
#include <functional>
#include <memory>

class QAction;
class QFileSystemWatcher;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMimeData;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTreeView;
class QUrl;

namespace quillfen {

class FolderList;
class LevelTreeModel;
class PreviewPanel;
class WinePrefixStore;

// The setting that remembers the Wine prefix the user chose in the window.
inline constexpr char kChosenPrefixSetting[] = "winePrefix";
// The file the window keeps its layout and the chosen prefix in (QSettings' ini format):
// window.ini in the folder of the core's settings (settingsFolder), so that one folder holds
// all of them. While it is missing, what earlier versions kept in Qt's own place
// (~/.config/Quillfen) is carried into it and that file removed.
QString windowSettingsPath();

// The main window. It owns the Editor and every control; each handler gathers what the controls
// hold, calls one Editor action and shows its outcome. Each control's objectName says what it
// does, as the tests and tools/screenshot.sh find it.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `ui` asks the questions and shows the warnings; `choosers` picks files and folders.
    MainWindow(WinePrefixStore& store, UserInterface& ui, FileChoosers& choosers,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up, before the window is first shown. False when the disclaimer was declined: the
    // program then ends without having written anything.
    bool start();

    const EditorState& state() const { return editor_.state(); }
    const Editor& editor() const { return editor_; }
    // Where the preview goes in the detail panel: an empty vertical layout.

    // The profile box, Load and Save (main_window.cpp).
    void onProfileChosen();
    void onLoadProfile();
    void onSaveProfile();

    // The tree and the buttons and boxes below it (main_window.cpp).
    // A click on the tree's selected node: the panel reads it again.
    void onNodeClicked();
    void onSaveLevelInfo();
    void onAddGroup();
    void onAddSet();
    void onDeleteGroup();
    void onDeleteSet();
    void onDeleteLevel();
    void onMoveUp();
    void onMoveDown();
    void onUpdateFolder();
    void onUpdateFileName();
    // The in-place edit of a node's text in the tree; false when the new text was refused.
    bool onRename(const LevelTreeNode* node, const QString& text);
    void onUndo();
    void onRedo();

    // The level-file browser: the folder list, its path field and the level-file list
    // (main_window_files.cpp).
    void onFolderChanged();
    // A change the watcher saw in the folder (its files and rows are shown anew) or in its
    // parent (its rows).
    void onWatchedFolderChanged(const QString& changed);
    // The path field's folder (a Windows path mapped through the prefix), and the desktop's
    // folder chooser.
    void onFolderPathEntered();
    void onBrowseFolder();
    void onAddSelectedLevels();
    // Level files dropped on a set (from the file list or a file manager), and a level dropped
    // at another row of its set.
    void filesDropped(const LevelTreeNode* set, const QStringList& paths);
    void levelDropped(const LevelTreeNode* level, int row);

    // The menus' actions (main_window_menus.cpp).
    void onSetStartupFolder();
    void onChangeUsersKey();
    // "Wine prefix...": the prefixes found that hold the game's profiles, or any folder.
    void onWinePrefix();
    // Switches to the prefix in `folder` and remembers it; false when the user cancelled.
    bool usePrefix(const QString& folder);
    // "Import Level Pack...": the pack, then the folder for its level files.
    void onImportPack();
    void onHelp();
    void onAbout();
    // A file the program was started on (`quillfen FILE`, "Open with" of a file manager): its
    // folder opens in the folder list; a Windows level file is then the list's selected file,
    // anything else goes to Import Level Pack as the pack.
    void openFile(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createMenus();
    void connectControls();
    // Runs a command of the menus, the context menu or a shortcut.
    void run(window::Command command);
    QAction* action(window::Command command) const {
        return actions_[static_cast<std::size_t>(command)];
    }
    void showContextMenu(const QPoint& place);
    // The level-file list's context menu, at `place` in its viewport.
    void showFileContextMenu(const QPoint& place);
    void showReadme(const QUrl& readme);
    // Import Level Pack of `pack`: the folder for its level files is asked for.
    void importPack(const QString& pack);
    // The splitters' places and the window's size, from the last run and for the next.
    void restoreLayout();
    void keepLayout() const;

    void fillProfiles(const std::vector<std::string>& names, bool selectFirst);
    // Points the level-file list at `folder`.
    void listLevelFiles(const QString& folder);
    // Greys the files from `from` on that are not Windows level files, with the reason as tip.
    void markOtherFiles(int listing, int from);
    // Runs an editing action and brings the view up to the tree's new state.
    Outcome runEdit(const std::function<Outcome()>& action);
    // A new group or set: selected, and its name open for editing in place.
    void nameNewNode(const Outcome& outcome);
    void showOutcome(const Outcome& outcome);
    void showPanel(const std::optional<DetailPanel>& panel);
    // The caption, the Edit menu, the status line and the progress bar's reset after an action.
    void showDocumentState();
    // Work beside this thread is done: a profile check's marks, rows and count are shown, a
    // folder's count of level files in its label.
    void takeWorkDone();
    void showCoreSelection();
    // A row of View > Problems chosen: its node (none for a note on the install) selected as a
    // click in the tree selects it.
    void selectProblemNode(const std::string& key);
    void selectionChanged(const QModelIndex& current);
    // A node clicked: the panel shows it, unless the user cancels leaving the typed counts,
    // which then stay with the node still selected.
    void nodeClicked(const LevelTreeNode* node);
    // A file of the list made current: it shows in the panel alone, its counts with it, unless
    // the user cancels leaving the typed counts; `previous` is then current again.
    void levelFileChosen(QListWidgetItem* current, QListWidgetItem* previous);
    // What the count boxes hold.
    std::array<std::string, levelfile::kCountsCount> countBoxes() const;
    void deleteSelected();
    void renameSelected();
    Progress progressReport();
    // A drop on a set that the tree's model took: a level of the set, or files.
    bool dropOnSet(const LevelTreeNode* set, int row, const QMimeData* data);

    // Information to the status bar, everything to the Messages list; built before the Editor
    // that reports through it.
    WindowReports reports_;
    FileChoosers& choosers_;
    Editor editor_;
    // The Wine prefix whose profiles the window edits.
    QString prefix_;

    QSplitter* mainSplitter = nullptr;
    QSplitter* listSplitter = nullptr;
    QLabel* profileLabel = nullptr;
    QComboBox* profileBox = nullptr;
    QPushButton* loadProfileButton = nullptr;
    QLabel* folderLabel = nullptr;
    QLineEdit* folderPathEdit = nullptr;
    QPushButton* browseFolderButton = nullptr;
    FolderList* folderList = nullptr;
    QListWidget* levelFileList = nullptr;
    QLabel* levelCountLabel = nullptr;
    QPushButton* deleteLevelButton = nullptr;
    QPushButton* addLevelsButton = nullptr;
    QTreeView* profileTree = nullptr;
    QPushButton* addGroupButton = nullptr;
    QPushButton* deleteGroupButton = nullptr;
    QPushButton* moveUpButton = nullptr;
    QPushButton* moveDownButton = nullptr;
    QPushButton* addSetButton = nullptr;
    QPushButton* deleteSetButton = nullptr;
    QLineEdit* groupFolderEdit = nullptr;
    QPushButton* updateFolderButton = nullptr;
    QLineEdit* levelFileEdit = nullptr;
    QLabel* levelPathLabel = nullptr;
    QPushButton* updateFileButton = nullptr;
    QPushButton* saveProfileButton = nullptr;
    QLineEdit* lemmingsEdit = nullptr;
    std::array<QLineEdit*, 8> actionEdits{};
    QPushButton* saveLevelInfoButton = nullptr;
    QProgressBar* progressBar = nullptr;
    PreviewPanel* previewPanel = nullptr;
    QLabel* statusLabel = nullptr;
    MessageLog* messageLog = nullptr;
    ProblemList* problemList = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    std::array<QAction*, static_cast<std::size_t>(window::Command::About) + 1> actions_{};

    LevelTreeModel* model_ = nullptr;
    // While a core command changes the tree, and while the window moves the view's selection to
    // the core's, the view's selection changes are no clicks.
    bool followingCore_ = false;
    // The current node when a mouse button went down in the tree: a click on it is a click
    // that did not change the selection, and it reads the panel again.
    QPersistentModelIndex currentAtPress_;
    // The row the last edit added, if any.
    QPersistentModelIndex added_;
    // Counts the level-file listings, so that marking an old one stops.
    int listing_ = 0;
};

} // namespace quillfen
