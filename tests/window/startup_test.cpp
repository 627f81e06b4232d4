// Start-up, the settings file, the window's layout and its menus, driven as a user drives them.
#include "profiles/profile_commands.h"
#include "window/folder_list.h"
#include "window_test_support.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTreeView>
#include <filesystem>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

std::string textOf(const std::string& path) {
    auto bytes = readBytes(path);
    return {bytes.begin(), bytes.end()};
}

QString canonical(const std::string& path) {
    return QString::fromStdString(std::filesystem::canonical(path).string());
}

QStringList profileBox(const Session& s) {
    QStringList names;
    auto* box = s.find<QComboBox>("Combo1");
    for (int i = 0; i < box->count(); ++i)
        names << box->itemText(i);
    return names;
}

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithAndWithoutASettingsFile();
    void declinedDisclaimerEndsBeforeAnythingIsWritten();
    void controlsStandWhereTheyBelongAndFollowALargerWindow();
    void theMenusSetTheStartupFolderAndTheKeyAndPointToTheReadme();
};

void StartupTest::startsWithAndWithoutASettingsFile() {
    {
        Session s;
        QCOMPARE(s.ui.disclaimers.size(), std::size_t{1});
        QCOMPARE(s.ui.disclaimers[0].caption,
                 std::string("disclaimer - by clicking 'yes' you agree"));
        const std::string& text = s.ui.disclaimers[0].text;
        for (const char* part : {"warranty", "liability", "\rYou may pass", "readme.html"})
            QVERIFY2(text.find(part) != std::string::npos, part);
        QCOMPARE(textOf(s.work.file("profile.txt")), "c:\r\n" + kUsersKey + "\r\n");
        QCOMPARE(s.find<FolderList>("Dir2")->path(), canonical(s.demo.prefix() + "/drive_c"));
        QCOMPARE(s.form->state().usersKeyPath, kUsersKey);
        QCOMPARE(profileBox(s), (QStringList{"Alice", "Bob", QString::fromUtf8("Zo\u00EB")}));
        QCOMPARE(s.find<QComboBox>("Combo1")->currentText(), QStringLiteral("Alice"));
        QCOMPARE(s.form->windowTitle(),
                 QStringLiteral("Quillfen Level Adder - www.quillfen.example (v4)"));
        QVERIFY(s.ui.messages.empty());
    }
    {
        const std::string settings = settingsText("C:\\lemm\\levels", kUsersKey);
        Session s(&settings);
        QCOMPARE(s.find<FolderList>("Dir2")->path(), canonical(s.demo.levels()));
        QCOMPARE(s.find<QLabel>("countLabel")->text(), QStringLiteral("10 levels found"));
        QCOMPARE(textOf(s.work.file("profile.txt")), settings);
    }
    {
        // A damaged file gives the defaults, and start-up does not rewrite it.
        const std::string settings = "/no/such/folder\r\n";
        Session s(&settings);
        QCOMPARE(s.find<FolderList>("Dir2")->path(), canonical(s.demo.prefix() + "/drive_c"));
        QCOMPARE(s.form->state().usersKeyPath, kUsersKey);
        QCOMPARE(textOf(s.work.file("profile.txt")), settings);
    }
    {
        const std::string settings = settingsText("c:", "SOFTWARE\\Nobody");
        Session s(&settings);
        QCOMPARE(s.ui.messages, std::vector<std::string>{kNoProfiles});
        QCOMPARE(s.find<QComboBox>("Combo1")->count(), 0);
        QCOMPARE(s.find<QComboBox>("Combo1")->currentText(), QString());
    }
}

void StartupTest::declinedDisclaimerEndsBeforeAnythingIsWritten() {
    DemoPrefix demo;
    WorkingFolder work;
    ScriptedWindowUi ui;
    ui.agreements = {false};
    WinePrefixStore store(demo.prefix());
    Form1 form(store, ui, ui);
    QVERIFY(!form.Form_Load());
    QVERIFY(!form.isVisible());
    QVERIFY(std::filesystem::is_empty(work.path()));
    QVERIFY(ui.messages.empty());
    QCOMPARE(form.findChild<QComboBox*>("Combo1")->count(), 0);
}

void StartupTest::controlsStandWhereTheyBelongAndFollowALargerWindow() {
    Session s;
    QWidget* inner = s.form->centralWidget();
    // 5880 x 8745 twips at 15 twips a pixel.
    QCOMPARE(inner->size(), QSize(392, 583));
    const std::pair<const char*, QRect> places[] = {
        {"Combo1", {176, 8, 113, 21}},   {"Dir2", {8, 56, 177, 126}},
        {"Dir1", {200, 56, 185, 123}},   {"TreeView1", {8, 240, 377, 161}},
        {"action8", {328, 520, 33, 19}}, {"ProgressBar1", {0, 568, 393, 17}},
    };
    for (const auto& [name, place] : places)
        QCOMPARE(s.find<QWidget>(name)->geometry(), place);
    QCOMPARE(s.find<QLabel>("Label1")->font().family(), QStringLiteral("Verdana"));
    QCOMPARE(s.find<QTreeView>("TreeView1")->font().family(), QStringLiteral("Arial"));

    s.form->resize(s.form->width() + 100, s.form->height() + 60);
    QTRY_COMPARE(inner->size(), QSize(492, 643));
    const std::pair<const char*, QRect> grown[] = {
        {"TreeView1", {8, 240, 477, 221}},   {"Dir2", {8, 56, 227, 126}},
        {"Dir1", {250, 56, 235, 123}},       {"Command9", {136, 524, 113, 21}},
        {"ProgressBar1", {0, 628, 493, 17}},
    };
    for (const auto& [name, place] : grown)
        QCOMPARE(s.find<QWidget>(name)->geometry(), place);

    // Never smaller than the default.
    s.form->resize(200, 200);
    QTRY_COMPARE(inner->size(), QSize(392, 583));
}

void StartupTest::theMenusSetTheStartupFolderAndTheKeyAndPointToTheReadme() {
    const std::string settings = settingsText("C:\\LEMM\\LEVELS", kUsersKey);
    Session s(&settings);
    auto* options = s.form->findChild<QMenu*>("op_menu");
    QVERIFY(options);
    QCOMPARE(options->title(), QStringLiteral("Options"));
    auto* startup = s.form->findChild<QAction*>("lemmstartup");
    auto* key = s.form->findChild<QAction*>("lemmkey");
    auto* help = s.form->findChild<QAction*>("he");
    QCOMPARE(options->actions(), (QList<QAction*>{startup, key}));
    QCOMPARE(startup->text(), QStringLiteral("Set Startup Folder"));
    QCOMPARE(key->text(), QStringLiteral("Lemmings REG key"));
    QCOMPARE(help->text(), QStringLiteral("Help"));
    QVERIFY(help->menu() == nullptr); // on the menu bar itself

    help->trigger();
    QCOMPARE(s.ui.messages, std::vector<std::string>{
                                "please read the included  readme.html  file if you need help"});

    // Set Startup Folder stores the folder list's folder; the next start opens there.
    s.open(s.demo.prefix() + "/drive_c/LEMM");
    startup->trigger();
    const QString folder = canonical(s.demo.prefix() + "/drive_c/LEMM");
    QCOMPARE(QString::fromStdString(s.lastMessage()),
             "Startup folder has been set to '" + folder + "'");
    QCOMPARE(textOf(s.work.file("profile.txt")),
             folder.toStdString() + "\r\n" + kUsersKey + "\r\n");
    Form1 again(s.store, s.ui, s.ui);
    QVERIFY(again.Form_Load());
    QCOMPARE(again.findChild<FolderList*>("Dir2")->path(), folder);

    // The REG key: the box is refilled with no profile chosen.
    const std::string before = textOf(s.work.file("profile.txt"));
    s.ui.inputs = {{kUsersKey, true}};
    key->trigger();
    QCOMPARE(
        s.ui.questions.back().text,
        std::string("enter the path to the lemmings profiles under the HKEY_LOCAL_MACHINE key"));
    QCOMPARE(s.ui.questions.back().caption, std::string("key"));
    QCOMPARE(profileBox(s).size(), 3);
    QCOMPARE(s.find<QComboBox>("Combo1")->currentIndex(), -1);
    QCOMPARE(s.find<QComboBox>("Combo1")->currentText(), QString());
    QCOMPARE(textOf(s.work.file("profile.txt")), before);

    // A key without profiles warns, empties the box and is stored all the same.
    s.ui.inputs = {{"SOFTWARE\\Nobody", true}};
    key->trigger();
    QCOMPARE(s.lastMessage(), std::string(kNoProfiles));
    QCOMPARE(s.find<QComboBox>("Combo1")->count(), 0);
    QCOMPARE(s.form->state().usersKeyPath, std::string("SOFTWARE\\Nobody"));
    QCOMPARE(textOf(s.work.file("profile.txt")), folder.toStdString() + "\r\nSOFTWARE\\Nobody\r\n");

    // A missing settings file is written anew with the default first line.
    std::filesystem::remove(s.work.file("profile.txt"));
    s.ui.inputs = {{"SOFTWARE\\Other", true}};
    key->trigger();
    QCOMPARE(textOf(s.work.file("profile.txt")), std::string("c:\r\nSOFTWARE\\Other\r\n"));
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
