#include "window_test_support.h"

#include <QAbstractItemModel>
#include <QProcess>
#include <algorithm>
#include <fstream>

namespace quillfen::testing {

DemoPrefix::DemoPrefix() {
    const QString cli = qEnvironmentVariable("QUILLFEN_CLI");
    if (cli.isEmpty())
        qFatal("QUILLFEN_CLI names no quillfen-cli");
    if (QProcess::execute(cli, {QStringLiteral("demo-prefix"), QString::fromStdString(prefix())}) !=
        0)
        qFatal("quillfen-cli demo-prefix failed");
}

Session::Session(const std::optional<std::string>& settings) {
    if (settings) {
        std::ofstream out(work.file("profile.txt"), std::ios::binary);
        out << *settings;
    }
    form = std::make_unique<MainWindow>(store, ui, ui);
    tester = std::make_unique<QAbstractItemModelTester>(
        tree()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    if (!form->start())
        qFatal("the disclaimer was declined");
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qFatal("the window was not shown");
}

void typeInto(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 128; }))
        QTest::keyClicks(edit, text);
    else // QTest types ASCII only; an input method puts the rest in like this
        edit->insert(text);
}

QModelIndex Session::row(const std::string& key) const {
    auto* tree = find<QTreeView>("profileTree");
    QAbstractItemModel* model = tree->model();
    const LevelTreeNode* node = form->state().tree.find(key);
    // A walk over the rows the view shows, so that a node shown in the wrong place is not found.
    std::vector<QModelIndex> pending{QModelIndex()};
    while (!pending.empty()) {
        QModelIndex parent = pending.back();
        pending.pop_back();
        for (int r = 0; r < model->rowCount(parent); ++r) {
            QModelIndex child = model->index(r, 0, parent);
            if (node && child.internalPointer() == node) {
                tree->scrollTo(child);
                return child;
            }
            pending.push_back(child);
        }
    }
    qFatal("no node %s in the tree", key.c_str());
}

void Session::clickNode(const std::string& key) const {
    auto* tree = find<QTreeView>("profileTree");
    QModelIndex index = row(key);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualRect(index).center());
}

void Session::selectLevelFiles(const QStringList& names) const {
    auto* list = find<QListWidget>("levelFileList");
    list->clearSelection();
    for (const QString& name : names) {
        QList<QListWidgetItem*> items = list->findItems(name, Qt::MatchExactly);
        if (items.size() != 1)
            qFatal("no level file %s", qPrintable(name));
        list->scrollToItem(items[0]);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list->visualItemRect(items[0]).center());
    }
}

void doubleClick(QWidget* widget, QPoint position) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, position);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, position);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, position);
}

} // namespace quillfen::testing
