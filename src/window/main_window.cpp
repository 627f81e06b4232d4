// The main window: its making and start-up, the profile box, and the tree with the buttons and
// boxes below it.
#include "window/main_window.h"

#include "profiles/profile_store.h"
#include "window/folder_list.h"
#include "window/level_tree_model.h"
#include "window/preview_panel.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QFileSystemWatcher>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

namespace quillfen {

MainWindow::MainWindow(WinePrefixStore& store, UserInterface& ui, FileChoosers& choosers,
                       QWidget* parent)
    : QMainWindow(parent), reports_(ui), choosers_(choosers), editor_(store, reports_),
      prefix_(QString::fromStdString(store.winePrefix())) {
    setWindowTitle(QString::fromStdString(editor_.documentState().caption));
    createControls();
    createMenus();
    watcher_ = new QFileSystemWatcher(this);
    profileTree->viewport()->installEventFilter(this);
    // Alt with a letter is for the menus: a box never takes it as typing.
    for (QLineEdit* box : centralWidget()->findChildren<QLineEdit*>())
        box->installEventFilter(this);
    connectControls();
    restoreLayout();
    // The check of a long profile and the count of a large folder wake this thread when they are
    // done; a call queued for a window that is gone is dropped with it.
    editor_.workBeside([this] {
        QMetaObject::invokeMethod(this, &MainWindow::takeWorkDone, Qt::QueuedConnection);
    });
    showDocumentState();
}

void MainWindow::takeWorkDone() {
    if (editor_.takeCheck())
        showDocumentState();
    if (std::optional<std::string> count = editor_.takeLevelCount())
        levelCountLabel->setText(QString::fromStdString(*count));
}

MainWindow::~MainWindow() {
    // The model watches the tree, which goes before the window's child objects do.
    profileTree->setModel(nullptr);
    delete model_;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == profileTree->viewport() && event->type() == QEvent::MouseButtonPress)
        currentAtPress_ = profileTree->currentIndex();
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & Qt::AltModifier) && !(key->modifiers() & Qt::ControlModifier) &&
            !key->text().isEmpty() && key->text().at(0).isPrint())
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (editor_.mayClose()) {
        keepLayout();
        event->accept();
    } else {
        event->ignore();
    }
}

// Start-up, in the order of the game's editor.
bool MainWindow::start() {
    std::optional<StartUp> startup = editor_.startUp();
    if (!startup)
        return false;
    folderList->setPath(QString::fromStdString(startup->startFolder));

    progressBar->setRange(0, 1);
    progressBar->setValue(0);

    fillProfiles(startup->profiles, /*selectFirst=*/true);
    profileBox->setCurrentText(QString::fromStdString(startup->profile));
    return true;
}

// Profile names are UTF-8, as the registry gives them, unlike the core's other texts.
void MainWindow::fillProfiles(const std::vector<std::string>& names, bool selectFirst) {
    profileBox->clear();
    for (const std::string& name : names)
        profileBox->addItem(QString::fromStdString(name));
    profileBox->setCurrentIndex(selectFirst && profileBox->count() > 0 ? 0 : -1);
    if (profileBox->currentIndex() < 0)
        profileBox->clearEditText();
}

Progress MainWindow::progressReport() {
    // The Editor's long work reports thinned steps (see thinned()): each is drawn.
    return [this](double value, double maximum) {
        progressBar->show();
        progressBar->setMaximum(static_cast<int>(maximum));
        progressBar->setValue(static_cast<int>(value));
    };
}

void MainWindow::onProfileChosen() {
    const Outcome chosen = runEdit([&] {
        return editor_.chooseProfile(profileBox->currentText().toStdString(), progressReport());
    });
    if (chosen.profileShown)
        profileBox->setCurrentText(QString::fromStdString(*chosen.profileShown));
}

void MainWindow::onLoadProfile() {
    loadProfileButton->setEnabled(false);
    loadProfileButton->repaint();
    runEdit([&] {
        return editor_.loadProfile(profileBox->currentText().toStdString(), progressReport());
    });
    loadProfileButton->setEnabled(true);
    // The tree takes the keys from here on, its current node drawn as selected.
    if (editor_.tree().count() > 0)
        profileTree->setFocus();
}

void MainWindow::onSaveProfile() {
    editor_.saveProfile(profileBox->currentText().toStdString(), progressReport());
    showDocumentState();
}

void MainWindow::selectionChanged(const QModelIndex& current) {
    if (followingCore_)
        return;
    nodeClicked(model_->node(current));
}

void MainWindow::onNodeClicked() {
    nodeClicked(editor_.tree().selected());
}

void MainWindow::nodeClicked(const LevelTreeNode* node) {
    const Outcome clicked = editor_.clickNode(node, countBoxes());
    if (clicked.done) {
        showPanel(clicked.panel);
        return;
    }
    // The view goes back once its own handling of the click is done.
    QMetaObject::invokeMethod(
        this,
        [this] {
            followingCore_ = true;
            showCoreSelection();
            followingCore_ = false;
        },
        Qt::QueuedConnection);
}

void MainWindow::showPanel(const std::optional<DetailPanel>& panel) {
    if (!panel)
        return;
    previewPanel->showLevel(panel->countsFile);
    // A box whose text stays keeps its cursor.
    auto show = [](QLineEdit* box, const std::string& now) {
        QString text = toQt(now);
        if (box->text() != text)
            box->setText(text);
    };
    show(groupFolderEdit, panel->groupFolder);
    show(levelFileEdit, panel->levelFile);
    show(lemmingsEdit, panel->counts[0]);
    for (std::size_t i = 0; i < actionEdits.size(); ++i)
        show(actionEdits[i], panel->counts[i + 1]);
    // A level's file that cannot be read says so here; its counts are then not to be typed.
    levelPathLabel->setText(QString::fromStdString(panelHeading(*panel)));
    levelPathLabel->setToolTip(levelPathLabel->text());
    levelPathLabel->setVisible(!panel->levelPath.empty());
    const bool counts = panel->missing.empty();
    lemmingsEdit->setEnabled(counts);
    for (QLineEdit* box : actionEdits)
        box->setEnabled(counts);
    saveLevelInfoButton->setEnabled(counts);
}

std::array<std::string, levelfile::kCountsCount> MainWindow::countBoxes() const {
    std::array<std::string, levelfile::kCountsCount> counts;
    counts[0] = fromQt(lemmingsEdit->text()).text;
    for (std::size_t i = 0; i < actionEdits.size(); ++i)
        counts[i + 1] = fromQt(actionEdits[i]->text()).text;
    return counts;
}

void MainWindow::onSaveLevelInfo() {
    editor_.saveLevelInfo(fromQt(levelFileEdit->text()), countBoxes());
}

Outcome MainWindow::runEdit(const std::function<Outcome()>& action) {
    // While the core changes the tree, the view's own reactions (a removed row moving the
    // current index) must not reach the core as clicks.
    followingCore_ = true;
    // Without a current row the view need not find a new one while rows go; it takes the
    // core's selection once the command is done. The row stays highlighted meanwhile.
    profileTree->selectionModel()->clearCurrentIndex();
    Outcome outcome = action();
    added_ = model_->takeLastInserted();
    if (added_.isValid()) {
        profileTree->expand(added_.parent());
        profileTree->scrollTo(added_);
    }
    showCoreSelection();
    followingCore_ = false;
    showOutcome(outcome);
    return outcome;
}

void MainWindow::nameNewNode(const Outcome& outcome) {
    if (!outcome.done || !added_.isValid())
        return;
    followingCore_ = true;
    const Outcome clicked = editor_.clickNode(model_->node(added_));
    showCoreSelection();
    followingCore_ = false;
    showPanel(clicked.panel);
    profileTree->setFocus();
    profileTree->edit(profileTree->currentIndex());
}

void MainWindow::showOutcome(const Outcome& outcome) {
    showPanel(outcome.panel);
    if (outcome.profiles)
        fillProfiles(*outcome.profiles, /*selectFirst=*/false);
    if (outcome.levelFolder)
        folderList->setPath(QString::fromStdString(*outcome.levelFolder));
    showDocumentState();
    if (!outcome.notice.empty())
        reports_.message(outcome.notice);
}

void MainWindow::showDocumentState() {
    DocumentState shown = editor_.documentState();
    setWindowTitle(QString::fromStdString(shown.caption));
    using window::Command;
    action(Command::Undo)
        ->setText(QString::fromStdString(window::withMnemonic(
            shown.undoText.c_str(), window::menuItem(Command::Undo).mnemonic)));
    action(Command::Undo)->setEnabled(shown.canUndo);
    action(Command::Redo)
        ->setText(QString::fromStdString(window::withMnemonic(
            shown.redoText.c_str(), window::menuItem(Command::Redo).mnemonic)));
    action(Command::Redo)->setEnabled(shown.canRedo);
    progressBar->hide();
    // The marks of the tree's nodes and the Problems list follow the check that the action ran.
    profileTree->viewport()->update();
    if (problemList->isVisible())
        problemList->fill(window::problemRows(editor_.tree(), editor_.problems()));
    statusLabel->setText(QString::fromLatin1(window::kWinePrefixTitle) + QStringLiteral(" ") +
                         QDir::toNativeSeparators(prefix_) + QStringLiteral("  |  ") +
                         QString::fromStdString(shown.status));
}

void MainWindow::showCoreSelection() {
    QModelIndex selected = model_->indexOf(editor_.tree().selected());
    if (selected.isValid())
        profileTree->selectionModel()->setCurrentIndex(selected,
                                                       QItemSelectionModel::ClearAndSelect);
    else
        profileTree->selectionModel()->clear();
}

void MainWindow::selectProblemNode(const std::string& key) {
    const LevelTreeNode* node = key.empty() ? nullptr : editor_.tree().find(key);
    if (node == nullptr)
        return;
    followingCore_ = true;
    const Outcome clicked = editor_.clickNode(node);
    showCoreSelection();
    profileTree->scrollTo(profileTree->currentIndex());
    followingCore_ = false;
    showPanel(clicked.panel);
}

void MainWindow::onAddGroup() {
    nameNewNode(runEdit([this] { return editor_.addGroup(); }));
}

void MainWindow::onAddSet() {
    nameNewNode(runEdit([this] { return editor_.addSet(); }));
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

void MainWindow::renameSelected() {
    profileTree->setFocus();
    profileTree->edit(profileTree->currentIndex());
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

} // namespace quillfen
