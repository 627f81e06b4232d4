#include "window_test_support.h"

#include "window/level_tree_model.h"

#include <QProcess>
#include <algorithm>
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

Session::~Session() {
    tester.reset();
    form.reset();
    QDir::setCurrent(previousFolder);
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
    const LevelTreeNode* node = form->state().tree.find(key);
    if (node == nullptr)
        qFatal("no node %s in the tree", key.c_str());
    QModelIndex index = static_cast<LevelTreeModel*>(tree()->model())->indexOf(node);
    tree()->scrollTo(index);
    return index;
}

QStringList Session::rowsUnder(const std::string& key) const {
    QAbstractItemModel* model = tree()->model();
    const QModelIndex parent = row(key);
    QStringList keys;
    for (int r = 0; r < model->rowCount(parent); ++r)
        keys << QString::fromStdString(
            static_cast<const LevelTreeNode*>(model->index(r, 0, parent).internalPointer())->key());
    return keys;
}

void Session::clickNode(const std::string& key) const {
    const QRect place = tree()->visualRect(row(key));
    QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, place.center());
}

} // namespace quillfen::testing
