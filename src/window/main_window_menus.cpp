// The main window's menus, built from the one table of them, the tree's context menu, and what
// the actions of their own do: the Options menu, Import Level Pack, Help and About.
#include "editor/window_texts.h"
#include "host/file_io.h"
#include "window/folder_list.h"
#include "window/level_tree_model.h"
#include "window/main_window.h"
#include "window/preview_panel.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSettings>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace quillfen {

namespace {

QKeySequence keys(window::Shortcut shortcut) {
    using window::Key;
    static constexpr std::pair<Key, Qt::Key> kQtKeys[] = {
        {Key::S, Qt::Key_S},       {Key::Q, Qt::Key_Q},           {Key::Z, Qt::Key_Z},
        {Key::Y, Qt::Key_Y},       {Key::Delete, Qt::Key_Delete}, {Key::Up, Qt::Key_Up},
        {Key::Down, Qt::Key_Down}, {Key::F1, Qt::Key_F1},         {Key::F2, Qt::Key_F2},
        {Key::F5, Qt::Key_F5}};
    for (auto [key, qtKey] : kQtKeys)
        if (key == shortcut.key)
            return QKeySequence((shortcut.ctrl ? Qt::CTRL : Qt::KeyboardModifiers()) |
                                (shortcut.alt ? Qt::ALT : Qt::KeyboardModifiers()) | qtKey);
    return {};
}

} // namespace

void MainWindow::createMenus() {
    using namespace window;
    for (const Menu& menu : kMenus) {
        QMenu* shown = menuBar()->addMenu(toQt(withMnemonic(menu.title, menu.mnemonic)));
        shown->setObjectName(QString::fromLatin1(menu.name));
        for (const MenuItem& item : menu.items) {
            QAction* entry = shown->addAction(toQt(withMnemonic(item.text, item.mnemonic)));
            entry->setObjectName(QString::fromLatin1(item.name));
            entry->setShortcut(keys(item.shortcut));
            actions_[static_cast<std::size_t>(item.command)] = entry;
            connect(entry, &QAction::triggered, this,
                    [this, command = item.command] { run(command); });
            if (item.separatorAfter)
                shown->addSeparator();
        }
    }
    // The tree's own keys act only while the tree has the focus: elsewhere Delete edits a text,
    // Alt+Down opens the profile box's list and F2 is nothing.
    for (Command command : {Command::Delete, Command::MoveUp, Command::MoveDown, Command::Rename}) {
        action(command)->setShortcutContext(Qt::WidgetShortcut);
        profileTree->addAction(action(command));
    }
    // Elsewhere Alt+Up says where it acts instead of doing nothing.
    auto* moveUpElsewhere = new QShortcut(keys(window::menuItem(Command::MoveUp).shortcut), this);
    connect(moveUpElsewhere, &QShortcut::activated, this, [this] { editor_.moveKeyElsewhere(); });
    // The tree is compared, never reached through the window: focus moves while it is destroyed.
    connect(qApp, &QApplication::focusChanged, moveUpElsewhere,
            [tree = profileTree, moveUpElsewhere](QWidget*, QWidget* now) {
                moveUpElsewhere->setEnabled(now != tree);
            });
}

void MainWindow::run(window::Command command) {
    using window::Command;
    switch (command) {
    case Command::LoadProfile:
        return onLoadProfile();
    case Command::SaveProfile:
        return onSaveProfile();
    case Command::ImportPack:
        return onImportPack();
    case Command::Quit:
        close();
        return;
    case Command::Undo:
        return onUndo();
    case Command::Redo:
        return onRedo();
    case Command::AddGroup:
        return onAddGroup();
    case Command::AddSet:
        return onAddSet();
    case Command::AddLevels:
        return onAddSelectedLevels();
    case Command::Delete:
        return deleteSelected();
    case Command::MoveUp:
        return onMoveUp();
    case Command::MoveDown:
        return onMoveDown();
    case Command::Rename:
        return renameSelected();
    case Command::Refresh:
        return onFolderChanged();
    case Command::Preview:
        return previewPanel->openWindow();
    case Command::GameFolder:
        previewPanel->chooseGameFolder();
        return showDocumentState();
    case Command::DosGraphicsFolder:
        return previewPanel->chooseDosGraphicsFolder();
    case Command::Messages:
        messageLog->show();
        messageLog->raise();
        return;
    case Command::Problems:
        problemList->fill(window::problemRows(editor_.tree(), editor_.problems()));
        problemList->show();
        problemList->raise();
        return;
    case Command::WinePrefix:
        return onWinePrefix();
    case Command::StartupFolder:
        return onSetStartupFolder();
    case Command::UsersKey:
        return onChangeUsersKey();
    case Command::Help:
        return onHelp();
    case Command::Properties:
        editor_.properties();
        return;
    case Command::About:
        return onAbout();
    }
}

void MainWindow::showContextMenu(const QPoint& place) {
    // From the keyboard the menu opens at the current row; from the mouse, at the row clicked,
    // which the press selected.
    const QModelIndex at = profileTree->indexAt(place);
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("treeContextMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (window::Command command :
         window::contextCommands(at.isValid() ? model_->node(at) : nullptr))
        menu->addAction(action(command));
    menu->popup(profileTree->viewport()->mapToGlobal(place));
}

void MainWindow::onSetStartupFolder() {
    editor_.setStartupFolder();
}

void MainWindow::onChangeUsersKey() {
    showOutcome(editor_.changeUsersKey());
}

void MainWindow::onWinePrefix() {
    const auto found = editor_.winePrefixChoices(QDir::homePath().toStdString(),
                                                 qEnvironmentVariable("WINEPREFIX").toStdString());
    QStringList choices;
    for (const Editor::PrefixChoice& prefix : found)
        choices << QString::fromStdString(prefix.label);
    choices << QString::fromLatin1(window::kAnotherFolder);
    bool ok = false;
    const QString choice =
        QInputDialog::getItem(this, QString::fromLatin1(window::kWinePrefixTitle),
                              QString::fromLatin1(window::kWinePrefixList), choices, 0, false, &ok);
    if (!ok)
        return;
    const auto row = static_cast<std::size_t>(choices.indexOf(choice));
    QString folder = row < found.size() ? QString::fromStdString(found[row].folder) : QString();
    if (folder.isEmpty())
        folder = choosers_.chooseFolder(this, QString::fromLatin1(window::kWinePrefixTitle),
                                        QDir::homePath());
    if (!folder.isEmpty())
        usePrefix(folder);
}

bool MainWindow::usePrefix(const QString& folder) {
    Outcome outcome;
    runEdit([&] { return outcome = editor_.useWinePrefix(folder.toStdString()); });
    if (!outcome.done)
        return false;
    if (makeFolder(settingsFolder()).ok())
        QSettings(windowSettingsPath(), QSettings::IniFormat)
            .setValue(QString::fromLatin1(kChosenPrefixSetting), folder);
    prefix_ = folder;
    showDocumentState();
    if (outcome.profiles)
        fillProfiles(*outcome.profiles, /*selectFirst=*/true);
    return true;
}

void MainWindow::onImportPack() {
    const QString pack = choosers_.chooseFile(
        this, QString::fromLatin1(window::kImportPackTitle), folderList->path(),
        QString::fromLatin1(window::kLevelPackFiles) + QStringLiteral(" (*.DAT *.dat);;") +
            QString::fromLatin1(window::kAllFiles) + QStringLiteral(" (*)"));
    if (!pack.isEmpty())
        importPack(pack);
}

void MainWindow::importPack(const QString& pack) {
    // With the game's folder known, the levels go into their group's folder of it.
    const QString folder =
        editor_.gameFolder()
            ? QString()
            : choosers_.chooseFolder(this, QString::fromLatin1(window::kImportFolder),
                                     QString::fromStdString(editor_.chooserFolder()));
    if (folder.isEmpty() && !editor_.gameFolder())
        return;
    runEdit([&] { return editor_.importLevelPack(pack.toStdString(), folder.toStdString()); });
}

void MainWindow::onAbout() {
    QMessageBox::about(this, QString::fromLatin1(window::kAbout), QString::fromLatin1(aboutText()));
}

void MainWindow::onHelp() {
    // The readme lies beside the program, or where the package puts it; without a browser to
    // open it, the window shows it itself.
    const QString here = QCoreApplication::applicationDirPath();
    for (const QString& readme : {here + QStringLiteral("/readme.html"),
                                  here + QStringLiteral("/../share/quillfen/readme.html")}) {
        const QFileInfo file(readme);
        if (!file.isFile())
            continue;
        const QUrl url = QUrl::fromLocalFile(file.canonicalFilePath());
        if (!QDesktopServices::openUrl(url))
            showReadme(url);
        return;
    }
    editor_.help();
}

void MainWindow::showReadme(const QUrl& readme) {
    auto* reader = new QDialog(this);
    reader->setObjectName(QStringLiteral("readmeDialog"));
    reader->setAttribute(Qt::WA_DeleteOnClose);
    reader->setWindowTitle(QString::fromLatin1(window::kHelp));
    auto* text = new QTextBrowser(reader);
    text->setObjectName(QStringLiteral("readmeBrowser"));
    text->setOpenExternalLinks(true);
    text->setSource(readme);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, reader);
    connect(buttons, &QDialogButtonBox::rejected, reader, &QDialog::close);
    auto* column = new QVBoxLayout(reader);
    column->addWidget(text);
    column->addWidget(buttons);
    reader->resize(640, 560);
    reader->show();
}

} // namespace quillfen
