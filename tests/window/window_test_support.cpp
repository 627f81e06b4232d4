#include "window_test_support.h"

#include <QProcess>
#include <fstream>

namespace quillfen::testing {

DemoPrefix::DemoPrefix() {
    const QString cli = qEnvironmentVariable("QUILLFEN_CLI");
    if (cli.isEmpty())
        qFatal("QUILLFEN_CLI names no quillfen-cli");
    if (QProcess::execute(cli, {"demo-prefix", QString::fromStdString(prefix())}) != 0)
        qFatal("quillfen-cli demo-prefix failed");
}

Session::Session(const std::string& startFolder) {
    QDir::setCurrent(QString::fromStdString(work.path().string()));
    // The settings the window writes stay in the working folder too, never in the user's.
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(work.path().string()));
    if (!startFolder.empty())
        std::ofstream(work.file("profile.txt"), std::ios::binary) << startFolder << "\r\n"
                                                                  << kDefaultUsersKeyPath << "\r\n";
    form = std::make_unique<MainWindow>(store, ui);
    tester = std::make_unique<QAbstractItemModelTester>(
        tree()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    if (!form->start())
        qFatal("the disclaimer was declined");
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qFatal("the window was not shown");
}

} // namespace quillfen::testing
