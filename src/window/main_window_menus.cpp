// The main window's menus and what their actions do: the Options menu, Import Level Pack and Help.
#include "editor/window_texts.h"
#include "window/folder_list.h"
#include "window/main_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QUrl>

namespace quillfen {

void MainWindow::createMenus() {
    using namespace window;
    optionsMenu = menuBar()->addMenu(QString::fromLatin1(kOptionsMenu));
    optionsMenu->setObjectName(QStringLiteral("optionsMenu"));
    setStartupFolderAction = optionsMenu->addAction(QString::fromLatin1(kSetStartupFolder));
    setStartupFolderAction->setObjectName(QStringLiteral("setStartupFolderAction"));
    usersKeyAction = optionsMenu->addAction(QString::fromLatin1(kLemmingsRegKey));
    usersKeyAction->setObjectName(QStringLiteral("usersKeyAction"));
    optionsMenu->addSeparator();
    winePrefixAction = optionsMenu->addAction(QString::fromLatin1(kWinePrefix));
    winePrefixAction->setObjectName(QStringLiteral("winePrefixAction"));
    editMenu = menuBar()->addMenu(QString::fromLatin1(kEditMenu));
    editMenu->setObjectName(QStringLiteral("editMenu"));
    undoAction = editMenu->addAction(QString::fromLatin1(kUndo));
    undoAction->setObjectName(QStringLiteral("undoAction"));
    undoAction->setShortcut(QKeySequence::Undo);
    redoAction = editMenu->addAction(QString::fromLatin1(kRedo));
    redoAction->setObjectName(QStringLiteral("redoAction"));
    redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    editMenu->addSeparator();
    importPackAction = editMenu->addAction(QString::fromLatin1(kImportLevelPack));
    importPackAction->setObjectName(QStringLiteral("importPackAction"));
    // "Help" stands on the menu bar itself and runs at once, without a menu of its own.
    helpAction = menuBar()->addAction(QString::fromLatin1(kHelp));
    helpAction->setObjectName(QStringLiteral("helpAction"));
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
        folder = QFileDialog::getExistingDirectory(
            this, QString::fromLatin1(window::kWinePrefixTitle), QDir::homePath());
    if (!folder.isEmpty())
        usePrefix(folder);
}

bool MainWindow::usePrefix(const QString& folder) {
    Outcome outcome;
    runEdit([&] { return outcome = editor_.useWinePrefix(folder.toStdString()); });
    if (!outcome.done)
        return false;
    QSettings().setValue(QString::fromLatin1(kChosenPrefixSetting), folder);
    if (outcome.profiles)
        fillProfiles(*outcome.profiles, /*selectFirst=*/true);
    return true;
}

void MainWindow::onImportPack() {
    const QString pack = QFileDialog::getOpenFileName(
        this, QString::fromLatin1(window::kImportPackTitle), folderList->path(),
        QString::fromLatin1(window::kLevelPackFiles) + QStringLiteral(" (*.DAT *.dat);;") +
            QString::fromLatin1(window::kAllFiles) + QStringLiteral(" (*)"));
    if (pack.isEmpty())
        return;
    const QString folder = QFileDialog::getExistingDirectory(
        this, QString::fromLatin1(window::kImportFolder), folderList->path());
    if (folder.isEmpty())
        return;
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
