// Load Profile and Save Profile Data against a demo prefix, through the window's buttons.
#include "database/database_writer.h"
#include "window_test_support.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

const std::string kCorrupt = "WARNING: the user profile you are trying to load seems to be corrupt";

// Counts the progress bar's paints while a load or save runs, and whether Load Profile was
// usable at any of them.
class PaintWatch : public QObject {
public:
    PaintWatch(QWidget* bar, QWidget* button) : button_(button) { bar->installEventFilter(this); }
    int paints = 0;
    bool buttonEnabledDuringPaint = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
            buttonEnabledDuringPaint |= button_->isEnabled();
        }
        return false;
    }

private:
    QWidget* button_;
};

void choose(const Session& s, const QString& profile) {
    s.find<QComboBox>("Combo1")->setEditText(profile);
}

} // namespace

class LoadSaveTest : public QObject {
    Q_OBJECT
private slots:
    void loadFillsTheTreeWithTheFirstNodeSelected();
    void loadingAnotherProfileReplacesTheTree();
    void aRefusedLoadKeepsTheTreeAndTheButton();
    void saveWritesTheTreeAndKeepsTheOldFileAsBackup();
    void saveWritesIntoTheProfileTheBoxNames();
    void saveWithoutAProfileTouchesNothing();
};

void LoadSaveTest::loadFillsTheTreeWithTheFirstNodeSelected() {
    Session s;
    auto* tree = s.find<QTreeView>("TreeView1");
    QAbstractItemModelTester tester(tree->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    PaintWatch watch(s.find<QProgressBar>("ProgressBar1"), s.find<QPushButton>("Command4"));
    s.load();

    QVERIFY(s.ui.messages.empty());
    QCOMPARE(s.form->state().tree.count(), 16);
    QCOMPARE(tree->model()->rowCount(), 3);
    QCOMPARE(tree->model()->data(tree->model()->index(1, 0)).toString(),
             QStringLiteral("QUILLFEN CLASSICS"));
    QCOMPARE(s.form->state().tree.selected()->key(), std::string("root1"));
    QCOMPARE(tree->currentIndex(), s.row("root1"));
    QVERIFY(tree->selectionModel()->isSelected(s.row("root1")));

    // The bar was drawn as the load went, while the button could not start another.
    QVERIFY(watch.paints > 0);
    QVERIFY(!watch.buttonEnabledDuringPaint);
    QVERIFY(s.find<QPushButton>("Command4")->isEnabled());
    QCOMPARE(s.find<QProgressBar>("ProgressBar1")->value(), 0);
}

void LoadSaveTest::loadingAnotherProfileReplacesTheTree() {
    Session s;
    s.load();
    s.clickNode("level5");
    choose(s, "Bob");
    s.load();
    QVERIFY(s.ui.messages.empty());
    QCOMPARE(s.form->state().tree.count(), 15);
    QCOMPARE(s.find<QTreeView>("TreeView1")->model()->rowCount(), 2);
    QCOMPARE(s.form->state().tree.selected()->key(), std::string("root1"));

    choose(s, QString::fromUtf8("Zo\u00EB"));
    s.load();
    QVERIFY(s.ui.messages.empty());
    QCOMPARE(s.find<QTreeView>("TreeView1")->model()->data(s.row("parent1")).toString(),
             QString::fromUtf8("ZO\u00CB'S SET"));
}

void LoadSaveTest::aRefusedLoadKeepsTheTreeAndTheButton() {
    Session s;
    s.load();
    writeBytes(s.demo.database("BOB.DAT"), std::vector<unsigned char>(98, 0));
    choose(s, "Bob");
    s.load();
    QCOMPARE(s.ui.messages, std::vector<std::string>{kCorrupt});
    QCOMPARE(s.form->state().tree.count(), 16);
    QVERIFY(s.find<QPushButton>("Command4")->isEnabled());

    s.ui.messages.clear();
    choose(s, "Nobody");
    s.load();
    QCOMPARE(s.ui.messages,
             (std::vector<std::string>{
                 "ERROR: user database not found!  choose a different user profile", kCorrupt}));
    QCOMPARE(s.form->state().tree.count(), 16);
    QVERIFY(s.find<QPushButton>("Command4")->isEnabled());

    // A name typed with a character no profile name can hold is not looked up.
    s.ui.messages.clear();
    choose(s, QString::fromUtf8("Zo\u00EB \u2603"));
    s.load();
    QCOMPARE(s.ui.messages,
             std::vector<std::string>{"WARNING: the text holds characters that cannot be stored"});
    QCOMPARE(s.form->state().tree.count(), 16);
    QVERIFY(s.find<QPushButton>("Command4")->isEnabled());

    // The tree still on screen can be saved.
    choose(s, "Alice");
    s.click("Command9");
    QCOMPARE(s.lastMessage(), std::string("saved"));
}

void LoadSaveTest::saveWritesTheTreeAndKeepsTheOldFileAsBackup() {
    Session s;
    const std::string file = s.demo.database("ALICE.DAT");
    const auto original = readBytes(file);
    s.load();
    PaintWatch watch(s.find<QProgressBar>("ProgressBar1"), s.find<QPushButton>("Command9"));
    s.click("Command9");
    QCOMPARE(s.ui.messages, std::vector<std::string>{"saved"});
    QVERIFY(watch.paints > 0);
    QCOMPARE(s.find<QProgressBar>("ProgressBar1")->value(), 0);
    // Nothing was changed, so the file is written again as it was.
    QCOMPARE(readBytes(file), original);
    QCOMPARE(readBytes(file + "_backup"), original);

    // A second save turns the first save's file into the backup.
    s.clickNode("level2");
    s.click("Command6");
    s.click("Command9");
    QCOMPARE(readBytes(file + "_backup"), original);
    QCOMPARE(readBytes(file), encodeDatabase(s.form->state().tree));
    QCOMPARE(readBytes(file).size(), original.size() - 137);
    const auto first = readBytes(file);
    s.click("Command9");
    QCOMPARE(readBytes(file + "_backup"), first);
}

void LoadSaveTest::saveWritesIntoTheProfileTheBoxNames() {
    Session s;
    const auto alice = readBytes(s.demo.database("ALICE.DAT"));
    const auto bob = readBytes(s.demo.database("BOB.DAT"));
    s.load();
    choose(s, "Bob");
    s.click("Command9");
    QCOMPARE(s.lastMessage(), std::string("saved"));
    QCOMPARE(readBytes(s.demo.database("BOB.DAT")), alice);
    QCOMPARE(readBytes(s.demo.database("BOB.DAT_backup")), bob);
}

void LoadSaveTest::saveWithoutAProfileTouchesNothing() {
    Session s;
    const auto alice = readBytes(s.demo.database("ALICE.DAT"));
    s.click("Command9");
    QCOMPARE(s.ui.messages, std::vector<std::string>{"you have to load up a profile first"});
    QCOMPARE(readBytes(s.demo.database("ALICE.DAT")), alice);
    QVERIFY(!std::filesystem::exists(s.demo.database("ALICE.DAT_backup")));
}

QTEST_MAIN(LoadSaveTest)
#include "load_save_test.moc"
