#include "window/main_window.h"

#include "editor/window_texts.h"
#include "levelfile/level_file.h"
#include "profiles/prefix_discovery.h"
#include "profiles/profile_store.h"
#include "window/folder_list.h"
#include "window/level_file_list.h"
#include "window/level_tree_model.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QShortcut>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeView>
#include <QUrl>

namespace quillfen {

MainWindow::MainWindow(ProfileStore& store, UserInterface& ui, DisclaimerBox& disclaimer,
                       QWidget* parent)
    : QMainWindow(parent), store_(store), ui_(ui), disclaimer_(disclaimer), editor_(store, ui) {
    setWindowTitle(toQt(editor_.documentState().caption));
    createMenus();
    createControls();
    watcher_ = new QFileSystemWatcher(this);
    profileTree->viewport()->installEventFilter(this);
    connectControls();
    showDocumentState();
}

MainWindow::~MainWindow() {
    // The model watches the tree, which goes before the window's child objects do.
    profileTree->setModel(nullptr);
    delete model_;
}

void MainWindow::connectControls() {
    auto onClick = [this](QPushButton* button, void (MainWindow::*handler)()) {
        connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(loadProfileButton, &MainWindow::onLoadProfile);
    onClick(saveProfileButton, &MainWindow::onSaveProfile);
    onClick(nodeInfoButton, &MainWindow::onNodeInfo);
    onClick(saveLevelInfoButton, &MainWindow::onSaveLevelInfo);
    onClick(addGroupButton, &MainWindow::onAddGroup);
    onClick(addSetButton, &MainWindow::onAddSet);
    onClick(addLevelsButton, &MainWindow::onAddSelectedLevels);
    onClick(deleteGroupButton, &MainWindow::onDeleteGroup);
    onClick(deleteSetButton, &MainWindow::onDeleteSet);
    onClick(deleteLevelButton, &MainWindow::onDeleteLevel);
    onClick(moveUpButton, &MainWindow::onMoveUp);
    onClick(moveDownButton, &MainWindow::onMoveDown);
    onClick(updateFolderButton, &MainWindow::onUpdateFolder);
    onClick(updateFileButton, &MainWindow::onUpdateFileName);
    connect(folderList, &FolderList::pathChanged, this, &MainWindow::onFolderChanged);
    connect(folderPathEdit, &QLineEdit::returnPressed, this, &MainWindow::onFolderPathEntered);
    connect(browseFolderButton, &QPushButton::clicked, this, &MainWindow::onBrowseFolder);
    // Files that come or go while the window is open show at once.
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &MainWindow::onFolderChanged);
    new QShortcut(QKeySequence::Refresh, this, this, &MainWindow::onFolderChanged);
    connect(profileBox, &QComboBox::activated, this, &MainWindow::onProfileChosen);
    connect(setStartupFolderAction, &QAction::triggered, this, &MainWindow::onSetStartupFolder);
    connect(usersKeyAction, &QAction::triggered, this, &MainWindow::onChangeUsersKey);
    connect(helpAction, &QAction::triggered, this, &MainWindow::onHelp);
    connect(undoAction, &QAction::triggered, this, &MainWindow::onUndo);
    connect(winePrefixAction, &QAction::triggered, this, &MainWindow::onWinePrefix);
    connect(importPackAction, &QAction::triggered, this, &MainWindow::onImportPack);
    connect(redoAction, &QAction::triggered, this, &MainWindow::onRedo);

    connect(profileTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { selectionChanged(current); });
    connect(profileTree, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        // A click that changed the selection was told by currentChanged already.
        if (index == currentAtPress_)
            selectionChanged(index);
    });
    model_->setRenameRequest(
        [this](const LevelTreeNode* node, const QString& text) { return onRename(node, text); });
    model_->setDropRequest([this](const LevelTreeNode* set, int row, const QMimeData* data) {
        const QString levelType = QString::fromLatin1(LevelTreeModel::kLevelMimeType);
        if (data->hasFormat(levelType)) {
            const LevelTreeNode* level = editor_.tree().find(data->data(levelType).toStdString());
            // The view is in the middle of its drop: the move waits until it is done.
            QTimer::singleShot(0, this, [this, key = level->key(), row] {
                levelDropped(editor_.tree().find(key), row);
            });
            return true;
        }
        QStringList paths;
        for (const QUrl& url : data->urls())
            if (url.isLocalFile())
                paths.append(url.toLocalFile());
        std::string key = set->key();
        QTimer::singleShot(0, this,
                           [this, key, paths] { filesDropped(editor_.tree().find(key), paths); });
        return !paths.isEmpty();
    });

    // The tree's keys act only while the tree has the focus: elsewhere Delete edits a text and
    // Alt+Down opens the profile box's list.
    new QShortcut(QKeySequence::Delete, profileTree, this, &MainWindow::deleteSelected,
                  Qt::WidgetShortcut);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Up), profileTree, this, &MainWindow::onMoveUp,
                  Qt::WidgetShortcut);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Down), profileTree, this, &MainWindow::onMoveDown,
                  Qt::WidgetShortcut);
    new QShortcut(QKeySequence::Save, this, this, &MainWindow::onSaveProfile);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == profileTree->viewport() && event->type() == QEvent::MouseButtonPress)
        currentAtPress_ = profileTree->currentIndex();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (editor_.mayClose())
        event->accept();
    else
        event->ignore();
}

// Start-up, in the order of the game's editor.
bool MainWindow::start() {
    if (!disclaimer_.agree(kDisclaimer, kDisclaimerTitle))
        return false;

    listLevelFiles(QString::fromStdString(store_.hostPath("c:\\")));
    StartUp startup = editor_.startUp();
    folderList->setPath(QString::fromStdString(startup.startFolder));

    progressBar->setRange(0, 1);
    progressBar->setValue(0);

    fillProfiles(startup.profiles, /*selectFirst=*/true);
    return true;
}

void MainWindow::fillProfiles(const std::vector<std::string>& names, bool selectFirst) {
    profileBox->clear();
    for (const std::string& name : names)
        profileBox->addItem(toQt(name));
    profileBox->setCurrentIndex(selectFirst && profileBox->count() > 0 ? 0 : -1);
    if (profileBox->currentIndex() < 0)
        profileBox->clearEditText();
    chosenProfile_ = profileBox->currentText();
}

Progress MainWindow::progressReport() {
    // The bar repaints itself at once whenever the change shows, which costs more than most
    // loads and saves take: it is drawn at the start and the end, and between them only when
    // about 50 ms have passed since it was last drawn.
    auto clock = std::make_shared<QElapsedTimer>();
    return [this, clock](double value, double maximum) {
        bool edge = value <= 0 || value >= maximum;
        if (!edge && clock->isValid() && clock->elapsed() < 50)
            return;
        clock->start();
        progressBar->setMaximum(static_cast<int>(maximum));
        progressBar->setValue(static_cast<int>(value));
    };
}

void MainWindow::onProfileChosen() {
    TextAnswer chosen = fromQt(profileBox->currentText());
    if (editor_.chooseProfile(chosen.text)) {
        chosenProfile_ = profileBox->currentText();
    } else {
        profileBox->setCurrentText(chosenProfile_);
    }
    showDocumentState();
}

void MainWindow::onLoadProfile() {
    loadProfileButton->setEnabled(false);
    loadProfileButton->repaint();
    runEdit(
        [&] { return editor_.loadProfile(fromQt(profileBox->currentText()), progressReport()); });
    chosenProfile_ = profileBox->currentText();
    loadProfileButton->setEnabled(true);
}

void MainWindow::onSaveProfile() {
    editor_.saveProfile(fromQt(profileBox->currentText()), progressReport());
    showDocumentState();
}

void MainWindow::listLevelFiles(const QString& folder) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LevelFolder listed = editor_.openFolder(folder.toStdString());
    QStringList names;
    names.reserve(static_cast<qsizetype>(listed.names.size()));
    for (const std::string& name : listed.names)
        names.append(QString::fromStdString(name));
    levelFileList->setUpdatesEnabled(false);
    levelFileList->clear();
    levelFileList->addItems(names);
    levelFileList->setUpdatesEnabled(true);
    static_cast<LevelFileListView*>(levelFileList)->setFolder(folder);
    levelCountLabel->setText(QString::fromStdString(listed.countText));
    QApplication::restoreOverrideCursor();
    markOtherFiles(++listing_, 0);
}

void MainWindow::markOtherFiles(int listing, int from) {
    // Each file must be opened to tell a Windows level from another engine's: that is done a
    // batch at a time once the list shows, so that a large folder opens at once. A newer
    // listing stops an older one's marking.
    if (listing != listing_)
        return;
    const int end = std::min(levelFileList->count(), from + 200);
    for (int row = from; row < end; ++row) {
        QListWidgetItem* item = levelFileList->item(row);
        std::string reason = editor_.notALevel(fromQt(item->text()).text);
        if (reason.empty())
            continue;
        item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
        item->setToolTip(toQt(reason));
    }
    if (end < levelFileList->count())
        QTimer::singleShot(0, this, [this, listing, end] { markOtherFiles(listing, end); });
}

void MainWindow::onFolderChanged() {
    const QString folder = folderList->path();
    listLevelFiles(folder);
    folderPathEdit->setText(QDir::toNativeSeparators(folder));
    if (!watcher_->directories().isEmpty())
        watcher_->removePaths(watcher_->directories());
    if (!folder.isEmpty())
        watcher_->addPath(folder);
}

void MainWindow::onFolderPathEntered() {
    if (auto folder = editor_.openTypedFolder(fromQt(folderPathEdit->text())))
        folderList->setPath(QString::fromStdString(*folder));
    else
        folderPathEdit->setText(QDir::toNativeSeparators(folderList->path()));
}

void MainWindow::onBrowseFolder() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, QString::fromLatin1(window::kChooseFolder), folderList->path());
    if (!folder.isEmpty())
        folderList->setPath(folder);
}

void MainWindow::filesDropped(const LevelTreeNode* set, const QStringList& paths) {
    if (set == nullptr || paths.isEmpty())
        return;
    // The levels come from the folder that the folder list shows, as Add Selected Level(s)
    // takes them: files from elsewhere move the list to their folder first.
    const QString folder = QFileInfo(paths.front()).absolutePath();
    if (QFileInfo(folder).canonicalFilePath() != folderList->path())
        folderList->setPath(folder);
    std::vector<TextAnswer> names;
    for (const QString& path : paths)
        if (QFileInfo(path).absolutePath() == folder)
            names.push_back(fromQt(QFileInfo(path).fileName()));
    runEdit([&] { return editor_.dropLevelFiles(set, names); });
}

void MainWindow::levelDropped(const LevelTreeNode* level, int row) {
    runEdit([&] { return editor_.dropLevel(level, row); });
}

void MainWindow::onNodeInfo() {
    editor_.info();
}

void MainWindow::selectionChanged(const QModelIndex& current) {
    if (followingCore_)
        return;
    showPanel(editor_.clickNode(model_->node(current)).panel);
}

void MainWindow::TreeView1_Click() {
    showPanel(editor_.clickNode(editor_.tree().selected()).panel);
}

void MainWindow::showPanel(const DetailPanel& panel) {
    // A box the panel leaves alone keeps exactly what the user typed.
    auto show = [](QLineEdit* box, const std::string& now) {
        QString text = toQt(now);
        if (box->text() != text)
            box->setText(text);
    };
    if (panel.groupFolder)
        show(groupFolderEdit, *panel.groupFolder);
    if (panel.levelFile)
        show(levelFileEdit, *panel.levelFile);
    if (panel.counts) {
        show(lemmingsEdit, (*panel.counts)[0]);
        for (std::size_t i = 0; i < actionEdits.size(); ++i)
            show(actionEdits[i], (*panel.counts)[i + 1]);
    }
}

void MainWindow::onSaveLevelInfo() {
    std::array<std::string, levelfile::kCountsCount> counts;
    counts[0] = fromQt(lemmingsEdit->text()).text;
    for (std::size_t i = 0; i < actionEdits.size(); ++i)
        counts[i + 1] = fromQt(actionEdits[i]->text()).text;
    editor_.saveLevelInfo(fromQt(levelFileEdit->text()), counts);
}

template <class Action> void MainWindow::runEdit(Action action) {
    // While the core changes the tree, the view's own reactions (a removed row moving the
    // current index) must not reach the core as clicks.
    followingCore_ = true;
    // Without a current row the view need not find a new one while rows go; it takes the
    // core's selection once the command is done. The row stays highlighted meanwhile.
    profileTree->selectionModel()->clearCurrentIndex();
    Outcome outcome = action();
    QModelIndex added = model_->takeLastInserted();
    if (added.isValid()) {
        profileTree->expand(added.parent());
        profileTree->scrollTo(added);
    }
    showCoreSelection();
    followingCore_ = false;
    showOutcome(outcome);
}

void MainWindow::showOutcome(const Outcome& outcome) {
    showPanel(outcome.panel);
    if (outcome.profiles)
        fillProfiles(*outcome.profiles, /*selectFirst=*/false);
    showDocumentState();
}

void MainWindow::showDocumentState() {
    DocumentState shown = editor_.documentState();
    setWindowTitle(toQt(shown.caption));
    undoAction->setText(toQt(shown.undoText));
    undoAction->setEnabled(shown.canUndo);
    redoAction->setText(toQt(shown.redoText));
    redoAction->setEnabled(shown.canRedo);
    statusLabel->setText(toQt(shown.status));
}

void MainWindow::showCoreSelection() {
    QModelIndex selected = model_->indexOf(editor_.tree().selected());
    if (selected.isValid())
        profileTree->selectionModel()->setCurrentIndex(selected,
                                                       QItemSelectionModel::ClearAndSelect);
    else
        profileTree->selectionModel()->clear();
}

void MainWindow::onAddGroup() {
    runEdit([this] { return editor_.addGroup(); });
}

void MainWindow::onAddSet() {
    runEdit([this] { return editor_.addSet(); });
}

void MainWindow::onAddSelectedLevels() {
    FileListSelection files;
    files.current = levelFileList->currentRow();
    for (int row = 0; row < levelFileList->count(); ++row) {
        files.names.push_back(fromQt(levelFileList->item(row)->text()));
        files.selected.push_back(levelFileList->item(row)->isSelected());
    }
    runEdit([&] { return editor_.addSelectedLevels(files); });
}

void MainWindow::onDeleteGroup() {
    runEdit([this] { return editor_.deleteGroup(); });
}

void MainWindow::onDeleteSet() {
    runEdit([this] { return editor_.deleteSet(); });
}

void MainWindow::onDeleteLevel() {
    runEdit([this] { return editor_.deleteLevel(); });
}

void MainWindow::deleteSelected() {
    runEdit([this] { return editor_.deleteSelected(); });
}

void MainWindow::onMoveUp() {
    runEdit([this] { return editor_.moveUp(); });
}

void MainWindow::onMoveDown() {
    runEdit([this] { return editor_.moveDown(); });
}

void MainWindow::onUpdateFolder() {
    runEdit([this] { return editor_.updateFolder(fromQt(groupFolderEdit->text())); });
}

void MainWindow::onUpdateFileName() {
    runEdit([this] { return editor_.updateFileName(fromQt(levelFileEdit->text())); });
}

void MainWindow::onUndo() {
    runEdit([this] { return editor_.undo(); });
}

void MainWindow::onRedo() {
    runEdit([this] { return editor_.redo(); });
}

bool MainWindow::onRename(const LevelTreeNode* node, const QString& text) {
    Outcome outcome = editor_.rename(node, fromQt(text));
    showDocumentState();
    // The message box took the focus from the editor; it goes back to the tree, not to the
    // next control in line (the profile box, whose keys would switch the profile).
    if (!outcome.done)
        QTimer::singleShot(0, profileTree, [this] { profileTree->setFocus(); });
    return outcome.done;
}

void MainWindow::onSetStartupFolder() {
    editor_.setStartupFolder();
}

void MainWindow::onChangeUsersKey() {
    showOutcome(editor_.changeUsersKey());
}

void MainWindow::onWinePrefix() {
    const std::vector<FoundPrefix> found = findWinePrefixes(
        QDir::homePath().toStdString(), qEnvironmentVariable("WINEPREFIX").toStdString(),
        editor_.state().usersKeyPath);
    QStringList choices;
    for (const FoundPrefix& prefix : found)
        choices << QStringLiteral("%1 (%2, %3 profile(s))")
                       .arg(QString::fromStdString(prefix.path),
                            QString::fromStdString(prefix.launcher))
                       .arg(prefix.profiles.size());
    const QString other = QStringLiteral("Another folder...");
    choices << other;
    bool ok = false;
    const QString choice = QInputDialog::getItem(
        this, QStringLiteral("Wine prefix"),
        QStringLiteral("The Wine prefixes that hold the game's profiles:"), choices, 0, false, &ok);
    if (!ok)
        return;
    const auto row = static_cast<std::size_t>(choices.indexOf(choice));
    QString folder = row < found.size() ? QString::fromStdString(found[row].path) : QString();
    if (folder.isEmpty())
        folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Wine prefix"),
                                                   QDir::homePath());
    if (!folder.isEmpty())
        usePrefix(folder);
}

bool MainWindow::usePrefix(const QString& folder) {
    auto store = std::make_unique<WinePrefixStore>(folder.toStdString());
    Outcome outcome;
    runEdit([&] { return outcome = editor_.switchStore(*store); });
    if (!outcome.done)
        return false;
    chosenStore_ = std::move(store);
    QSettings().setValue(QStringLiteral("winePrefixAction"), folder);
    if (outcome.profiles)
        fillProfiles(*outcome.profiles, /*selectFirst=*/true);
    return true;
}

void MainWindow::onImportPack() {
    const QString pack = QFileDialog::getOpenFileName(
        this, QString::fromLatin1(window::kImportPackTitle), folderList->path(),
        QStringLiteral("DOS level packs (*.DAT *.dat);;All files (*)"));
    if (pack.isEmpty())
        return;
    const QString folder = QFileDialog::getExistingDirectory(
        this, QString::fromLatin1(window::kImportFolder), folderList->path());
    if (!folder.isEmpty())
        importLevelPack(pack, folder);
}

void MainWindow::importLevelPack(const QString& pack, const QString& folder) {
    runEdit([&] { return editor_.importLevelPack(pack.toStdString(), folder.toStdString()); });
}

void MainWindow::onHelp() {
    // The readme lies beside the program, or where the package puts it.
    const QString here = QCoreApplication::applicationDirPath();
    for (const QString& readme : {here + QStringLiteral("/readme.html"),
                                  here + QStringLiteral("/../share/quillfen/readme.html")}) {
        if (QFileInfo(readme).isFile() &&
            QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(readme).canonicalFilePath())))
            return;
    }
    editor_.help();
}

} // namespace quillfen
