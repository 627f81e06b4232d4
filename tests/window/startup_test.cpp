// Start-up, the settings file, the window's layout and its menus, driven as a user drives them.
#include "database/windows1252.h"
#include "profiles/profile_commands.h"
#include "window/folder_list.h"
#include "window_test_support.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QTreeView>
#include <filesystem>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

const std::string kDefaultKey = "SOFTWARE\\Visual Sciences\\Windows Lemmings\\Users";

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
    void firstStartWritesTheDefaultSettingsAndListsTheProfiles();
    void theSettingsFileGivesTheStartFolderAndTheKey();
    void aDamagedSettingsFileFallsBackToTheDefaults();
    void keyWithoutProfilesWarnsAndLeavesTheBoxEmpty();
    void declinedDisclaimerEndsBeforeAnythingIsWritten();
    void controlsStandWhereTheyBelongAndFollowALargerWindow();
    void setStartupFolderIsWhereTheNextStartOpens();
    void regKeyReloadsTheProfilesAndRewritesTheFile();
    void regKeyRefusalsChangeNothing();
    void regKeyWritesAMissingSettingsFileAnew();
    void helpPointsToTheReadme();
};

void StartupTest::firstStartWritesTheDefaultSettingsAndListsTheProfiles() {
    Session s;
    QCOMPARE(s.ui.disclaimers.size(), std::size_t{1});
    QCOMPARE(s.ui.disclaimers[0].caption, std::string("disclaimer - by clicking 'yes' you agree"));
    const std::string& text = s.ui.disclaimers[0].text;
    QVERIFY(text.find("warranty") != std::string::npos);
    QVERIFY(text.find("liability") != std::string::npos);
    QVERIFY(text.find("\rYou may pass") != std::string::npos);
    QVERIFY(text.find("readme.html") != std::string::npos);

    QCOMPARE(textOf(s.work.file("profile.txt")), "c:\r\n" + kDefaultKey + "\r\n");
    QCOMPARE(s.find<FolderList>("Dir2")->path(), canonical(s.demo.prefix() + "/drive_c"));
    QCOMPARE(s.form->state().usersKeyPath, kDefaultKey);
    QCOMPARE(profileBox(s), (QStringList{"Alice", "Bob", QString::fromUtf8("Zo\u00EB")}));
    QCOMPARE(s.find<QComboBox>("Combo1")->currentText(), QStringLiteral("Alice"));
    QCOMPARE(s.find<QProgressBar>("ProgressBar1")->maximum(), 1);
    QCOMPARE(s.find<QProgressBar>("ProgressBar1")->value(), 0);
    QCOMPARE(s.form->windowTitle(),
             QStringLiteral("Quillfen Level Adder - www.quillfen.example (v4)"));
    QVERIFY(s.ui.messages.empty());
}

void StartupTest::theSettingsFileGivesTheStartFolderAndTheKey() {
    {
        const std::string settings = settingsText("C:\\lemm\\levels", kDefaultKey);
        Session s(&settings);
        QCOMPARE(s.find<FolderList>("Dir2")->path(), canonical(s.demo.levels()));
        QCOMPARE(s.find<QLabel>("countLabel")->text(), QStringLiteral("10 levels found"));
        QCOMPARE(textOf(s.work.file("profile.txt")), settings);
    }
    {
        // A host path in line 1 is taken as it is.
        DemoPrefix other;
        const std::string settings = settingsText(other.levels(), kDefaultKey);
        Session s(&settings);
        QCOMPARE(s.find<FolderList>("Dir2")->path(), canonical(other.levels()));
        QCOMPARE(s.find<QListWidget>("Dir1")->count(), 10);
    }
}

void StartupTest::aDamagedSettingsFileFallsBackToTheDefaults() {
    const std::string settings = "/no/such/folder\r\n";
    Session s(&settings);
    QCOMPARE(s.find<FolderList>("Dir2")->path(), canonical(s.demo.prefix() + "/drive_c"));
    QCOMPARE(s.form->state().usersKeyPath, kDefaultKey);
    QCOMPARE(profileBox(s).size(), 3);
    QVERIFY(s.ui.messages.empty());
    // Start-up only reads the file; the user's own file is not rewritten.
    QCOMPARE(textOf(s.work.file("profile.txt")), settings);
}

void StartupTest::keyWithoutProfilesWarnsAndLeavesTheBoxEmpty() {
    const std::string settings = settingsText("c:", "SOFTWARE\\Nobody");
    Session s(&settings);
    QCOMPARE(s.ui.messages, std::vector<std::string>{kNoProfiles});
    QCOMPARE(s.find<QComboBox>("Combo1")->count(), 0);
    QCOMPARE(s.find<QComboBox>("Combo1")->currentText(), QString());
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
    QCOMPARE(s.find<QWidget>("Combo1")->geometry(), QRect(176, 8, 113, 21));
    QCOMPARE(s.find<QWidget>("Dir2")->geometry(), QRect(8, 56, 177, 126));
    QCOMPARE(s.find<QWidget>("Dir1")->geometry(), QRect(200, 56, 185, 123));
    QCOMPARE(s.find<QWidget>("TreeView1")->geometry(), QRect(8, 240, 377, 161));
    QCOMPARE(s.find<QWidget>("action8")->geometry(), QRect(328, 520, 33, 19));
    QCOMPARE(s.find<QWidget>("ProgressBar1")->geometry(), QRect(0, 568, 393, 17));
    QCOMPARE(s.find<QLabel>("Label1")->font().family(), QStringLiteral("Verdana"));
    QCOMPARE(s.find<QTreeView>("TreeView1")->font().family(), QStringLiteral("Arial"));

    s.form->resize(s.form->width() + 100, s.form->height() + 60);
    QTRY_COMPARE(inner->size(), QSize(492, 643));
    QCOMPARE(s.find<QWidget>("TreeView1")->geometry(), QRect(8, 240, 477, 221));
    QCOMPARE(s.find<QWidget>("Dir2")->geometry(), QRect(8, 56, 227, 126));
    QCOMPARE(s.find<QWidget>("Dir1")->geometry(), QRect(250, 56, 235, 123));
    QCOMPARE(s.find<QWidget>("Command9")->geometry(), QRect(136, 524, 113, 21));
    QCOMPARE(s.find<QWidget>("ProgressBar1")->geometry(), QRect(0, 628, 493, 17));

    // Never smaller than the default.
    s.form->resize(200, 200);
    QTRY_COMPARE(inner->size(), QSize(392, 583));
}

void StartupTest::setStartupFolderIsWhereTheNextStartOpens() {
    Session s;
    s.find<FolderList>("Dir2")->setPath(QString::fromStdString(s.demo.levels()));
    auto* options = s.form->findChild<QMenu*>("op_menu");
    QVERIFY(options);
    QCOMPARE(options->title(), QStringLiteral("Options"));
    auto* item = s.form->findChild<QAction*>("lemmstartup");
    QCOMPARE(item->text(), QStringLiteral("Set Startup Folder"));
    QVERIFY(options->actions().contains(item));
    item->trigger();

    const QString folder = canonical(s.demo.levels());
    QCOMPARE(QString::fromStdString(s.lastMessage()),
             "Startup folder has been set to '" + folder + "'");
    QCOMPARE(textOf(s.work.file("profile.txt")),
             folder.toStdString() + "\r\n" + kDefaultKey + "\r\n");

    Form1 again(s.store, s.ui, s.ui);
    QVERIFY(again.Form_Load());
    QCOMPARE(again.findChild<FolderList*>("Dir2")->path(), folder);
}

void StartupTest::regKeyReloadsTheProfilesAndRewritesTheFile() {
    Session s;
    auto* key = s.form->findChild<QAction*>("lemmkey");
    QCOMPARE(key->text(), QStringLiteral("Lemmings REG key"));
    const std::string before = textOf(s.work.file("profile.txt"));

    s.ui.inputs = {{kDefaultKey, true}};
    key->trigger();
    QCOMPARE(
        s.ui.questions.back().text,
        std::string("enter the path to the lemmings profiles under the HKEY_LOCAL_MACHINE key"));
    QCOMPARE(s.ui.questions.back().caption, std::string("key"));
    // Refilled, and no profile chosen.
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
    QCOMPARE(textOf(s.work.file("profile.txt")), std::string("c:\r\nSOFTWARE\\Nobody\r\n"));
}

void StartupTest::regKeyRefusalsChangeNothing() {
    Session s;
    auto* key = s.form->findChild<QAction*>("lemmkey");
    const std::string before = textOf(s.work.file("profile.txt"));

    // Cancel gives the empty text.
    key->trigger();
    QVERIFY(s.ui.messages.empty());

    // A character that has no Windows-1252 byte cannot be stored.
    s.ui.inputs = {{"SOFTWARE\\?", false}};
    key->trigger();
    QCOMPARE(s.ui.messages, std::vector<std::string>{kUnstorableText});

    QCOMPARE(s.form->state().usersKeyPath, kDefaultKey);
    QCOMPARE(profileBox(s).size(), 3);
    QCOMPARE(s.find<QComboBox>("Combo1")->currentText(), QStringLiteral("Alice"));
    QCOMPARE(textOf(s.work.file("profile.txt")), before);
}

void StartupTest::regKeyWritesAMissingSettingsFileAnew() {
    const std::string settings = settingsText("C:\\LEMM\\LEVELS", kDefaultKey);
    Session s(&settings);
    std::filesystem::remove(s.work.file("profile.txt"));
    s.ui.inputs = {{"SOFTWARE\\Other", true}};
    s.form->findChild<QAction*>("lemmkey")->trigger();
    QCOMPARE(textOf(s.work.file("profile.txt")), std::string("c:\r\nSOFTWARE\\Other\r\n"));
}

void StartupTest::helpPointsToTheReadme() {
    Session s;
    auto* help = s.form->findChild<QAction*>("he");
    QCOMPARE(help->text(), QStringLiteral("Help"));
    // On the menu bar itself, not inside a menu.
    QVERIFY(help->menu() == nullptr);
    help->trigger();
    QCOMPARE(s.ui.messages, std::vector<std::string>{
                                "please read the included  readme.html  file if you need help"});
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
