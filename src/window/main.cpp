// quillfen: the Quillfen Level Adder's window, on the player profiles of the Wine prefix.
//   quillfen [FILE]   FILE, a level file or a DOS level pack, opens once the window shows
#include "profiles/profile_store.h"
#include "window/dialogs.h"
#include "window/main_window.h"

#include <QApplication>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>

int main(int argc, char** argv) {
    using namespace quillfen;
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quillfen"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillfen Level Adder"));
    // $WINEPREFIX names the prefix for this run; without it, the one the user chose last time
    // in the window, else ~/.wine.
    const QString chosen = QSettings(windowSettingsPath(), QSettings::IniFormat)
                               .value(QString::fromLatin1(kChosenPrefixSetting))
                               .toString();
    const bool useChosen =
        qEnvironmentVariableIsEmpty("WINEPREFIX") && !chosen.isEmpty() && QFileInfo(chosen).isDir();
    WinePrefixStore store(useChosen ? chosen.toStdString() : WinePrefixStore::defaultPrefix());

    QtUserInterface dialogs;
    MainWindow window(store, dialogs, dialogs);
    dialogs.setParent(&window);
    if (!window.start())
        return 0;
    window.show();
    if (const QStringList arguments = QCoreApplication::arguments(); arguments.size() > 1)
        QTimer::singleShot(0, &window, [&window, file = arguments[1]] { window.openFile(file); });
    return app.exec();
}
