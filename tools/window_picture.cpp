// quillfen-window-picture PICTURE [HOLD]: the window on the profiles of $WINEPREFIX (else
// ~/.wine), the first profile loaded and the first level of its first set clicked, saved as
// PICTURE; the window then stays up HOLD milliseconds more, for a picture taken from outside
// with the window manager's frame (tools/screenshot.sh). Every question is answered Yes, and
// the messages shown are printed.
#include "scripted_user_interface.h"
#include "window/dialogs.h"
#include "window/main_window.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <iostream>

int main(int argc, char** argv) {
    using namespace quillfen;
    QApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: quillfen-window-picture PICTURE [HOLD]\n";
        return 2;
    }
    const QString picture = QString::fromLocal8Bit(argv[1]);
    const int hold = argc == 3 ? QString::fromLocal8Bit(argv[2]).toInt() : 0;
    QCoreApplication::setOrganizationName(QStringLiteral("Quillfen"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillfen Level Adder"));
    WinePrefixStore store(WinePrefixStore::defaultPrefix());
    ScriptedUserInterface ui;
    QtUserInterface choosers;
    MainWindow window(store, ui, choosers);
    if (!window.start())
        return 1;
    window.show();
    QTimer::singleShot(0, &window, [&] {
        window.findChild<QPushButton*>(QStringLiteral("loadProfileButton"))->click();
        auto* tree = window.findChild<QTreeView*>(QStringLiteral("profileTree"));
        QAbstractItemModel* model = tree->model();
        const QModelIndex level = model->index(0, 0, model->index(0, 0, model->index(0, 0)));
        if (level.isValid()) {
            tree->setCurrentIndex(level);
            tree->scrollTo(level);
        }
        QTimer::singleShot(300, &window, [&] {
            window.grab().save(picture);
            QTimer::singleShot(hold, qApp, &QApplication::quit);
        });
    });
    const int result = app.exec();
    for (const std::string& message : ui.messages)
        std::cerr << toQt(message).toStdString() << "\n";
    return result;
}
