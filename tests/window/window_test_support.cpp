#include "window_test_support.h"

#include <QProcess>
#include <fstream>

namespace quillfen::testing {

std::string ScriptedWindowUser::take(const std::string& text, const std::string& caption) {
    if (answers.empty())
        return {};
    questions.push_back({text, caption});
    std::string word = answers.front();
    answers.pop_front();
    return word;
}

bool ScriptedWindowUser::confirm(const std::string& text, const std::string& caption,
                                 bool yesIsDefault) {
    if (answers.empty())
        return ScriptedUserInterface::confirm(text, caption, yesIsDefault);
    return take(text, caption) == "yes";
}

bool ScriptedWindowUser::proceed(const std::string& text, const std::string& caption,
                                 const std::string& accept, bool acceptIsDefault) {
    if (answers.empty())
        return ScriptedUserInterface::proceed(text, caption, accept, acceptIsDefault);
    return QString::fromStdString(take(text, caption)) == QString::fromStdString(accept).toLower();
}

SaveChoice ScriptedWindowUser::askToSave(const std::string& text) {
    if (answers.empty())
        return ScriptedUserInterface::askToSave(text);
    const std::string word = take(text, "save");
    return word == "save"      ? SaveChoice::Save
           : word == "discard" ? SaveChoice::Discard
                               : SaveChoice::Cancel;
}

TextAnswer ScriptedWindowUser::input(const std::string& prompt, const std::string& title,
                                     const std::string& proposed) {
    if (answers.empty())
        return ScriptedUserInterface::input(prompt, title, proposed);
    const std::string word = take(prompt, title);
    if (!word.starts_with("text:"))
        return {};
    return fromQt(QString::fromUtf8(word.substr(5)));
}

QString ScriptedWindowUser::choose(const QString& title, bool folder) {
    const std::string word = take(title.toStdString(), "path");
    if (!word.starts_with("path:"))
        return {};
    QString path = QString::fromUtf8(word.substr(5)).replace('\\', '/');
    // A folder chooser makes the folder it is asked for, as the desktop's offers to.
    const QString host = QString::fromStdString(driveC) + '/' + path;
    if (folder)
        QDir().mkpath(host);
    return host;
}

DemoPrefix::DemoPrefix() {
    const QString cli = qEnvironmentVariable("QUILLFEN_CLI");
    if (cli.isEmpty())
        qFatal("QUILLFEN_CLI names no quillfen-cli");
    if (QProcess::execute(cli, {"demo-prefix", QString::fromStdString(prefix())}) != 0)
        qFatal("quillfen-cli demo-prefix failed");
    // A fourth profile, 中文玩家 on Bob's file, whose name no single-byte code page holds.
    std::ofstream(prefix() + "/system.reg", std::ios::app)
        << "[Software\\\\Wow6432Node\\\\Visual Sciences\\\\Windows Lemmings\\\\Users\\\\"
           "\\x4e2d\\x6587\\x73a9\\x5bb6] "
           "0\n\"DatabaseName\"=\"C:\\\\LEMM\\\\USERS\\\\BOB.DAT\"\n\n";
}

Session::Session(const std::string& startFolder) {
    QDir::setCurrent(QString::fromStdString(work.path().string()));
    // The settings the window writes stay in the working folder too, never in the user's.
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(work.path().string()));
    if (!startFolder.empty())
        std::ofstream(work.file("profile.txt"), std::ios::binary) << startFolder << "\r\n"
                                                                  << kDefaultUsersKeyPath << "\r\n";
    ui.driveC = demo.prefix() + "/drive_c";
    form = std::make_unique<MainWindow>(store, ui, ui);
    tester = std::make_unique<QAbstractItemModelTester>(
        tree()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    if (!form->start())
        qFatal("the disclaimer was declined");
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qFatal("the window was not shown");
}

} // namespace quillfen::testing
