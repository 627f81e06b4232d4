// quillfen: the Quillfen Level Adder's window, on the player profiles of the Wine prefix.
#include "profiles/profile_store.h"
#include "window/dialogs.h"
#include "window/main_window.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QFileInfo>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QTreeView>
#include <iostream>

namespace {

using namespace quillfen;

// For tools/screenshot.sh: agrees, answers every question with Yes or nothing, and prints the
// messages, so that the window can be pictured without a person at it.
class UnattendedUserInterface : public UserInterface {
public:
    void message(const std::string& text) override {
        std::cerr << toQt(text).toStdString() << "\n";
    }
    bool confirm(const std::string&, const std::string&, bool = true) override { return true; }
    SaveChoice askToSave(const std::string&) override { return SaveChoice::Discard; }
    bool proceed(const std::string&, const std::string&, const std::string&, bool = true) override {
        return true;
    }
    TextAnswer input(const std::string&, const std::string&, const std::string&) override {
        return {};
    }
    bool agree(const std::string&, const std::string&) override { return true; }
};

// Loads the profile in the box, clicks the first level of the first set, then saves a picture
// of the window to `path` and ends the program.
void pictureWindow(MainWindow& form, const QString& path) {
    form.findChild<QPushButton*>(QStringLiteral("loadProfileButton"))->click();
    auto* tree = form.findChild<QTreeView*>(QStringLiteral("profileTree"));
    QAbstractItemModel* model = tree->model();
    QModelIndex level = model->index(0, 0, model->index(0, 0, model->index(0, 0)));
    if (level.isValid()) {
        tree->setCurrentIndex(level);
        tree->scrollTo(level);
    }
    // QUILLFEN_SCREENSHOT_HOLD keeps the window up that many milliseconds more, for a picture
    // taken from outside with the window manager's frame.
    const int hold = qEnvironmentVariableIntValue("QUILLFEN_SCREENSHOT_HOLD");
    QTimer::singleShot(300, &form, [&form, path, hold] {
        form.grab().save(path);
        QTimer::singleShot(hold, qApp, &QApplication::quit);
    });
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quillfen"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillfen Level Adder"));
    // $WINEPREFIX names the prefix for this run; without it, the one the user chose last time
    // in the window, else ~/.wine.
    const QString chosen = QSettings().value(QString::fromLatin1(kChosenPrefixSetting)).toString();
    const bool useChosen =
        qEnvironmentVariableIsEmpty("WINEPREFIX") && !chosen.isEmpty() && QFileInfo(chosen).isDir();
    WinePrefixStore store(useChosen ? chosen.toStdString() : WinePrefixStore::defaultPrefix());

    const QString picture = qEnvironmentVariable("QUILLFEN_SCREENSHOT");
    QtUserInterface dialogs;
    UnattendedUserInterface unattended;
    UserInterface& ui = picture.isEmpty() ? static_cast<UserInterface&>(dialogs) : unattended;

    MainWindow form(store, ui, dialogs);
    dialogs.setParent(&form);
    if (!form.start())
        return 0;
    form.show();
    if (!picture.isEmpty())
        QTimer::singleShot(0, &form, [&form, picture] { pictureWindow(form, picture); });
    return app.exec();
}
