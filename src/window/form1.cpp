#include "window/form1.h"

#include "editor/settings_file.h"
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

Form1::Form1(ProfileStore& store, UserInterface& ui, DisclaimerBox& disclaimer, QWidget* parent)
    : QMainWindow(parent), store_(store), ui_(ui), disclaimer_(disclaimer), editor_(store, ui) {
    setWindowTitle(toQt(editor_.caption()));
    createMenus();
    createControls();
    watcher_ = new QFileSystemWatcher(this);
    TreeView1->viewport()->installEventFilter(this);
    connectControls();
    showDocumentState();
}

Form1::~Form1() {
    // The model watches the tree, which goes before the window's child objects do.
    TreeView1->setModel(nullptr);
    delete model_;
}

void Form1::connectControls() {
    auto onClick = [this](QPushButton* button, void (Form1::*handler)()) {
        connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(Command4, &Form1::Command4_Click);
    onClick(Command9, &Form1::Command9_Click);
    onClick(Command8, &Form1::Command8_Click);
    onClick(Command7, &Form1::Command7_Click);
    onClick(Command2, &Form1::Command2_Click);
    onClick(Command1, &Form1::Command1_Click);
    onClick(Command3, &Form1::Command3_Click);
    onClick(CommandDelG, &Form1::CommandDelG_Click);
    onClick(Command5, &Form1::Command5_Click);
    onClick(Command6, &Form1::Command6_Click);
    onClick(Command12, &Form1::Command12_Click);
    onClick(Command13, &Form1::Command13_Click);
    onClick(Command10, &Form1::Command10_Click);
    onClick(Command11, &Form1::Command11_Click);
    connect(Dir2, &FolderList::pathChanged, this, &Form1::Dir2_Change);
    connect(Dir2Path, &QLineEdit::returnPressed, this, &Form1::Dir2Path_Enter);
    connect(Dir2Browse, &QPushButton::clicked, this, &Form1::Dir2Browse_Click);
    // Files that come or go while the window is open show at once.
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &Form1::Dir2_Change);
    new QShortcut(QKeySequence::Refresh, this, this, &Form1::Dir2_Change);
    connect(Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    connect(lemmstartup, &QAction::triggered, this, &Form1::lemmstartup_Click);
    connect(lemmkey, &QAction::triggered, this, &Form1::lemmkey_Click);
    connect(he, &QAction::triggered, this, &Form1::he_Click);
    connect(undoAction, &QAction::triggered, this, &Form1::undo_Click);
    connect(winePrefix, &QAction::triggered, this, &Form1::winePrefix_Click);
    connect(importPack, &QAction::triggered, this, &Form1::importPack_Click);
    connect(redoAction, &QAction::triggered, this, &Form1::redo_Click);

    connect(TreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { selectionChanged(current); });
    connect(TreeView1, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        // A click that changed the selection was told by currentChanged already.
        if (index == currentAtPress_)
            selectionChanged(index);
    });
    model_->setRenameRequest([this](const LevelTreeNode* node, const QString& text) {
        return TreeView1_AfterLabelEdit(node, text);
    });
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
    new QShortcut(QKeySequence::Delete, TreeView1, this, &Form1::deleteSelected,
                  Qt::WidgetShortcut);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Up), TreeView1, this, &Form1::Command12_Click,
                  Qt::WidgetShortcut);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Down), TreeView1, this, &Form1::Command13_Click,
                  Qt::WidgetShortcut);
    new QShortcut(QKeySequence::Save, this, this, &Form1::Command9_Click);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TreeView1->viewport() && event->type() == QEvent::MouseButtonPress)
        currentAtPress_ = TreeView1->currentIndex();
    return QMainWindow::eventFilter(watched, event);
}

void Form1::closeEvent(QCloseEvent* event) {
    if (editor_.mayClose())
        event->accept();
    else
        event->ignore();
}

// Start-up, in the order of the game's editor.
bool Form1::Form_Load() {
    if (!disclaimer_.agree(kDisclaimer, kDisclaimerTitle))
        return false;

    listLevelFiles(QString::fromStdString(store_.hostPath("c:\\")));
    StartUp startup = editor_.startUp();
    Dir2->setPath(QString::fromStdString(startup.startFolder));

    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);

    fillProfiles(startup.profiles, /*selectFirst=*/true);
    return true;
}

void Form1::fillProfiles(const std::vector<std::string>& names, bool selectFirst) {
    Combo1->clear();
    for (const std::string& name : names)
        Combo1->addItem(toQt(name));
    Combo1->setCurrentIndex(selectFirst && Combo1->count() > 0 ? 0 : -1);
    if (Combo1->currentIndex() < 0)
        Combo1->clearEditText();
    chosenProfile_ = Combo1->currentText();
}

Progress Form1::progressBar() {
    // The bar repaints itself at once whenever the change shows, which costs more than most
    // loads and saves take: it is drawn at the start and the end, and between them only when
    // about 50 ms have passed since it was last drawn.
    auto clock = std::make_shared<QElapsedTimer>();
    return [this, clock](double value, double maximum) {
        bool edge = value <= 0 || value >= maximum;
        if (!edge && clock->isValid() && clock->elapsed() < 50)
            return;
        clock->start();
        ProgressBar1->setMaximum(static_cast<int>(maximum));
        ProgressBar1->setValue(static_cast<int>(value));
    };
}

void Form1::Combo1_Click() {
    TextAnswer chosen = fromQt(Combo1->currentText());
    if (editor_.chooseProfile(chosen.text)) {
        chosenProfile_ = Combo1->currentText();
    } else {
        Combo1->setCurrentText(chosenProfile_);
    }
    showDocumentState();
}

void Form1::Command4_Click() {
    Command4->setEnabled(false);
    Command4->repaint();
    runEdit([&] { return editor_.loadProfile(fromQt(Combo1->currentText()), progressBar()); });
    chosenProfile_ = Combo1->currentText();
    Command4->setEnabled(true);
}

void Form1::Command9_Click() {
    editor_.saveProfile(fromQt(Combo1->currentText()), progressBar());
    showDocumentState();
}

void Form1::listLevelFiles(const QString& folder) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    LevelFolder listed = editor_.openFolder(folder.toStdString());
    QStringList names;
    names.reserve(static_cast<qsizetype>(listed.names.size()));
    for (const std::string& name : listed.names)
        names.append(QString::fromStdString(name));
    Dir1->setUpdatesEnabled(false);
    Dir1->clear();
    Dir1->addItems(names);
    Dir1->setUpdatesEnabled(true);
    static_cast<LevelFileListView*>(Dir1)->setFolder(folder);
    countLabel->setText(QString::fromStdString(listed.countText));
    QApplication::restoreOverrideCursor();
    markOtherFiles(++listing_, 0);
}

void Form1::markOtherFiles(int listing, int from) {
    // Each file must be opened to tell a Windows level from another engine's: that is done a
    // batch at a time once the list shows, so that a large folder opens at once. A newer
    // listing stops an older one's marking.
    if (listing != listing_)
        return;
    const int end = std::min(Dir1->count(), from + 200);
    for (int row = from; row < end; ++row) {
        QListWidgetItem* item = Dir1->item(row);
        std::string reason = editor_.notALevel(fromQt(item->text()).text);
        if (reason.empty())
            continue;
        item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
        item->setToolTip(toQt(reason));
    }
    if (end < Dir1->count())
        QTimer::singleShot(0, this, [this, listing, end] { markOtherFiles(listing, end); });
}

void Form1::Dir2_Change() {
    const QString folder = Dir2->path();
    listLevelFiles(folder);
    Dir2Path->setText(QDir::toNativeSeparators(folder));
    if (!watcher_->directories().isEmpty())
        watcher_->removePaths(watcher_->directories());
    if (!folder.isEmpty())
        watcher_->addPath(folder);
}

void Form1::Dir2Path_Enter() {
    const QString typed = Dir2Path->text().trimmed();
    const QString folder =
        QString::fromStdString(settings::hostFolder(fromQt(typed).text, editor_.store()));
    if (!QFileInfo(folder).isDir()) {
        ui_.message("WARNING: " + fromQt(typed).text + " is not a folder");
        Dir2Path->setText(QDir::toNativeSeparators(Dir2->path()));
        return;
    }
    Dir2->setPath(folder);
}

void Form1::Dir2Browse_Click() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, QString::fromLatin1(window::kChooseFolder), Dir2->path());
    if (!folder.isEmpty())
        Dir2->setPath(folder);
}

void Form1::filesDropped(const LevelTreeNode* set, const QStringList& paths) {
    if (set == nullptr || paths.isEmpty())
        return;
    // The levels come from the folder that the folder list shows, as Add Selected Level(s)
    // takes them: files from elsewhere move the list to their folder first.
    const QString folder = QFileInfo(paths.front()).absolutePath();
    if (QFileInfo(folder).canonicalFilePath() != Dir2->path())
        Dir2->setPath(folder);
    std::vector<TextAnswer> names;
    for (const QString& path : paths)
        if (QFileInfo(path).absolutePath() == folder)
            names.push_back(fromQt(QFileInfo(path).fileName()));
    runEdit([&] { return editor_.dropLevelFiles(set, names); });
}

void Form1::levelDropped(const LevelTreeNode* level, int row) {
    runEdit([&] { return editor_.dropLevel(level, row); });
}

void Form1::Command8_Click() {
    editor_.info();
}

void Form1::selectionChanged(const QModelIndex& current) {
    if (followingCore_)
        return;
    showPanel(editor_.clickNode(model_->node(current)).panel);
}

void Form1::TreeView1_Click() {
    showPanel(editor_.clickNode(editor_.tree().selected()).panel);
}

void Form1::showPanel(const DetailPanel& panel) {
    // A box the panel leaves alone keeps exactly what the user typed.
    auto show = [](QLineEdit* box, const std::string& now) {
        QString text = toQt(now);
        if (box->text() != text)
            box->setText(text);
    };
    if (panel.text1)
        show(Text1, *panel.text1);
    if (panel.text2)
        show(Text2, *panel.text2);
    if (panel.counts) {
        show(numlemm, (*panel.counts)[0]);
        for (std::size_t i = 0; i < action.size(); ++i)
            show(action[i], (*panel.counts)[i + 1]);
    }
}

void Form1::Command7_Click() {
    std::array<std::string, levelfile::kCountsCount> counts;
    counts[0] = fromQt(numlemm->text()).text;
    for (std::size_t i = 0; i < action.size(); ++i)
        counts[i + 1] = fromQt(action[i]->text()).text;
    editor_.saveLevelInfo(fromQt(Text2->text()), counts);
}

template <class Action> void Form1::runEdit(Action action) {
    // While the core changes the tree, the view's own reactions (a removed row moving the
    // current index) must not reach the core as clicks.
    followingCore_ = true;
    // Without a current row the view need not find a new one while rows go; it takes the
    // core's selection once the command is done. The row stays highlighted meanwhile.
    TreeView1->selectionModel()->clearCurrentIndex();
    Outcome outcome = action();
    QModelIndex added = model_->takeLastInserted();
    if (added.isValid()) {
        TreeView1->expand(added.parent());
        TreeView1->scrollTo(added);
    }
    showCoreSelection();
    followingCore_ = false;
    showOutcome(outcome);
}

void Form1::showOutcome(const Outcome& outcome) {
    showPanel(outcome.panel);
    if (outcome.profiles)
        fillProfiles(*outcome.profiles, /*selectFirst=*/false);
    showDocumentState();
}

void Form1::showDocumentState() {
    setWindowTitle(toQt(editor_.caption()));
    std::string undo = editor_.undoText();
    std::string redo = editor_.redoText();
    undoAction->setText(undo.empty() ? QString::fromLatin1(window::kUndo) : toQt(undo));
    undoAction->setEnabled(!undo.empty());
    redoAction->setText(redo.empty() ? QString::fromLatin1(window::kRedo) : toQt(redo));
    redoAction->setEnabled(!redo.empty());
    statusLabel->setText(toQt(editor_.statusText()));
}

void Form1::showCoreSelection() {
    QModelIndex selected = model_->indexOf(editor_.tree().selected());
    if (selected.isValid())
        TreeView1->selectionModel()->setCurrentIndex(selected, QItemSelectionModel::ClearAndSelect);
    else
        TreeView1->selectionModel()->clear();
}

void Form1::Command2_Click() {
    runEdit([this] { return editor_.addGroup(); });
}

void Form1::Command1_Click() {
    runEdit([this] { return editor_.addSet(); });
}

LevelFileList Form1::levelFileList() const {
    LevelFileList files;
    files.folder = editor_.levelFolder();
    files.current = Dir1->currentRow();
    for (int row = 0; row < Dir1->count(); ++row) {
        const QListWidgetItem* item = Dir1->item(row);
        TextAnswer name = fromQt(item->text());
        files.names.push_back(name.text);
        files.selected.push_back(item->isSelected());
        if (item->isSelected() && !name.storable)
            files.storable = false;
    }
    return files;
}

void Form1::Command3_Click() {
    LevelFileList files = levelFileList();
    runEdit([&] { return editor_.addSelectedLevels(files); });
}

void Form1::CommandDelG_Click() {
    runEdit([this] { return editor_.deleteGroup(); });
}

void Form1::Command5_Click() {
    runEdit([this] { return editor_.deleteSet(); });
}

void Form1::Command6_Click() {
    runEdit([this] { return editor_.deleteLevel(); });
}

void Form1::deleteSelected() {
    runEdit([this] { return editor_.deleteSelected(); });
}

void Form1::Command12_Click() {
    runEdit([this] { return editor_.moveUp(); });
}

void Form1::Command13_Click() {
    runEdit([this] { return editor_.moveDown(); });
}

void Form1::Command10_Click() {
    runEdit([this] { return editor_.updateFolder(fromQt(Text1->text())); });
}

void Form1::Command11_Click() {
    runEdit([this] { return editor_.updateFileName(fromQt(Text2->text())); });
}

void Form1::undo_Click() {
    runEdit([this] { return editor_.undo(); });
}

void Form1::redo_Click() {
    runEdit([this] { return editor_.redo(); });
}

bool Form1::TreeView1_AfterLabelEdit(const LevelTreeNode* node, const QString& text) {
    Outcome outcome = editor_.rename(node, fromQt(text));
    showDocumentState();
    // The message box took the focus from the editor; it goes back to the tree, not to the
    // next control in line (the profile box, whose keys would switch the profile).
    if (!outcome.done)
        QTimer::singleShot(0, TreeView1, [this] { TreeView1->setFocus(); });
    return outcome.done;
}

void Form1::lemmstartup_Click() {
    editor_.setStartupFolder(fromQt(Dir2->path()));
}

void Form1::lemmkey_Click() {
    showOutcome(editor_.changeUsersKey());
}

void Form1::winePrefix_Click() {
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

bool Form1::usePrefix(const QString& folder) {
    auto store = std::make_unique<WinePrefixStore>(folder.toStdString());
    Outcome outcome;
    runEdit([&] { return outcome = editor_.switchStore(*store); });
    if (!outcome.done)
        return false;
    chosenStore_ = std::move(store);
    QSettings().setValue(QStringLiteral("winePrefix"), folder);
    if (outcome.profiles)
        fillProfiles(*outcome.profiles, /*selectFirst=*/true);
    return true;
}

void Form1::importPack_Click() {
    const QString pack = QFileDialog::getOpenFileName(
        this, QString::fromLatin1(window::kImportPackTitle), Dir2->path(),
        QStringLiteral("DOS level packs (*.DAT *.dat);;All files (*)"));
    if (pack.isEmpty())
        return;
    const QString folder = QFileDialog::getExistingDirectory(
        this, QString::fromLatin1(window::kImportFolder), Dir2->path());
    if (!folder.isEmpty())
        importLevelPack(pack, folder);
}

void Form1::importLevelPack(const QString& pack, const QString& folder) {
    runEdit([&] { return editor_.importLevelPack(pack.toStdString(), folder.toStdString()); });
}

void Form1::he_Click() {
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
