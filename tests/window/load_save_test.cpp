// Load Profile and Save Profile Data against a demo prefix, through the window's buttons.
#include "window_test_support.h"

#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>

using namespace quillfen;
using namespace quillfen::testing;

namespace {

// Counts the progress bar's paints while a load or save runs, and whether `button` was usable at
// any of them.
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
    void loadFillsTheTreeAndARefusedLoadKeepsIt();
    void saveWritesIntoTheProfileTheBoxNamesAndKeepsABackup();
};

void LoadSaveTest::loadFillsTheTreeAndARefusedLoadKeepsIt() {
    Session s;
    auto* tree = s.find<QTreeView>("TreeView1");
    QAbstractItemModelTester tester(tree->model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    auto* button = s.find<QPushButton>("Command4");
    PaintWatch watch(s.find<QProgressBar>("ProgressBar1"), button);
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
    QVERIFY(button->isEnabled());
    QCOMPARE(s.find<QProgressBar>("ProgressBar1")->value(), 0);

    // Another profile replaces the tree; names are shown from Windows-1252.
    s.clickNode("level5");
    choose(s, "Bob");
    s.load();
    QCOMPARE(s.form->state().tree.count(), 15);
    QCOMPARE(tree->model()->rowCount(), 2);
    QCOMPARE(s.form->state().tree.selected()->key(), std::string("root1"));
    choose(s, QString::fromUtf8("Zo\u00EB"));
    s.load();
    QVERIFY(s.ui.messages.empty());
    QCOMPARE(tree->model()->data(s.row("parent1")).toString(), QString::fromUtf8("ZO\u00CB'S SET"));
    const int zoe = s.form->state().tree.count();

    choose(s, "Nobody");
    s.load();
    QCOMPARE(s.ui.messages,
             (std::vector<std::string>{
                 "ERROR: user database not found!  choose a different user profile",
                 "WARNING: the user profile you are trying to load seems to be corrupt"}));
    QCOMPARE(s.form->state().tree.count(), zoe);
    QVERIFY(button->isEnabled());
}

void LoadSaveTest::saveWritesIntoTheProfileTheBoxNamesAndKeepsABackup() {
    Session s;
    const std::string alice = s.demo.database("ALICE.DAT");
    const auto original = readBytes(alice);
    const auto bob = readBytes(s.demo.database("BOB.DAT"));
    s.click("Command9");
    QCOMPARE(s.ui.messages, std::vector<std::string>{"you have to load up a profile first"});
    QVERIFY(!std::filesystem::exists(alice + "_backup"));

    s.load();
    PaintWatch watch(s.find<QProgressBar>("ProgressBar1"), s.find<QPushButton>("Command9"));
    s.click("Command9");
    QCOMPARE(s.lastMessage(), std::string("saved"));
    QVERIFY(watch.paints > 0);
    QCOMPARE(s.find<QProgressBar>("ProgressBar1")->value(), 0);
    // Nothing was changed, so the file is written again as it was.
    QCOMPARE(readBytes(alice), original);
    QCOMPARE(readBytes(alice + "_backup"), original);

    // The loaded tree goes into the profile the box names.
    choose(s, "Bob");
    s.click("Command9");
    QCOMPARE(s.lastMessage(), std::string("saved"));
    QCOMPARE(readBytes(s.demo.database("BOB.DAT")), original);
    QCOMPARE(readBytes(s.demo.database("BOB.DAT_backup")), bob);
}

QTEST_MAIN(LoadSaveTest)
#include "load_save_test.moc"
