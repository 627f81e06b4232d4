#include "qt_window_driver.h"

#include "editor/window_menus.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QStatusBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <cctype>

namespace quillfen::testing {
namespace {

// Where the keys go: the control that has the focus, else the window.
QWidget* keyTarget(QWidget* window) {
    QWidget* focus = QApplication::focusWidget();
    return focus && window->isAncestorOf(focus) ? focus : window;
}

char letter(char mnemonic) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(mnemonic)));
}

} // namespace

QModelIndex QtWindowDriver::row(const std::string& key) const {
    const LevelTreeNode* node = key == "-" ? nullptr : s_.form->state().tree.find(key);
    if (node == nullptr)
        return {};
    const QModelIndex index = static_cast<LevelTreeModel*>(s_.tree()->model())->indexOf(node);
    s_.tree()->scrollTo(index);
    return index;
}

std::string QtWindowDriver::answer(const std::string& word) {
    s_.ui.answers.push_back(word);
    return {};
}

std::string QtWindowDriver::click(const std::string& control) {
    auto* button = s_.form->findChild<QPushButton*>(QString::fromStdString(control));
    if (button == nullptr || !button->isVisible())
        return "no button named " + control;
    QTest::mouseClick(button, Qt::LeftButton);
    return {};
}

std::string QtWindowDriver::selectNode(const std::string& key) {
    const QModelIndex index = row(key);
    const QRect place = s_.tree()->visualRect(index);
    if (!index.isValid() || place.isEmpty())
        return "no row shows node " + key;
    QTest::mouseClick(s_.tree()->viewport(), Qt::LeftButton, {}, place.center());
    // What the window put off until the click was handled (a selection put back) is done.
    QCoreApplication::sendPostedEvents();
    return {};
}

std::string QtWindowDriver::selectFiles(const std::vector<int>& rows) {
    auto* list = s_.find<QListWidget>("levelFileList");
    list->clearSelection();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QListWidgetItem* item = list->item(rows[i]);
        if (item == nullptr)
            return "the level-file list has no row " + std::to_string(rows[i]);
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton,
                          i == 0 ? Qt::NoModifier : Qt::ControlModifier,
                          list->visualItemRect(item).center());
    }
    return {};
}

std::string QtWindowDriver::rename(const std::string& key, const std::string& text) {
    QTreeView* tree = s_.tree();
    const QModelIndex index = row(key);
    QLineEdit* editor = openEditor(tree);
    // A new group or set stands open for its name already.
    if (editor == nullptr || tree->currentIndex() != index) {
        if (editor)
            QTest::keyClick(editor, Qt::Key_Escape);
        if (std::string failed = selectNode(key); !failed.empty())
            return failed;
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_F2);
        editor = openEditor(tree);
    }
    if (editor == nullptr)
        return "F2 opened no editor on " + key;
    typeInto(editor, QString::fromUtf8(text));
    QTest::keyClick(editor, Qt::Key_Return);
    if (!QTest::qWaitFor([&] { return openEditor(tree) == nullptr; }))
        return "Enter left the editor open on " + key;
    return {};
}

std::string QtWindowDriver::key(const std::string& menuItem) {
    if (menuItem == "Enter") {
        QTest::keyClick(keyTarget(s_.form.get()), Qt::Key_Return);
        return {};
    }
    const window::MenuItem* item = window::menuItemNamed(menuItem);
    if (item == nullptr || item->shortcut.key == window::Key::None)
        return "no shortcut for " + menuItem;
    QTest::keySequence(keyTarget(s_.form.get()), QKeySequence::fromString(QString::fromStdString(
                                                     window::shortcutText(item->shortcut))));
    return {};
}

std::string QtWindowDriver::choose(const char* popup, const std::string& menuItem) {
    const window::MenuItem* item = window::menuItemNamed(menuItem);
    if (item == nullptr)
        return "no menu item " + menuItem;
    QWidget* open = QApplication::activePopupWidget();
    if (open == nullptr || open->objectName() != QLatin1String(popup))
        return std::string("no ") + popup + " opened";
    QTest::keyClick(open, letter(item->mnemonic));
    if (!QTest::qWaitFor([&] { return QApplication::activePopupWidget() == nullptr; }))
        return menuItem + " was not chosen by its letter";
    return {};
}

std::string QtWindowDriver::menu(const std::string& menu, const std::string& menuItem) {
    for (const window::Menu& shown : window::kMenus) {
        if (menu != shown.name)
            continue;
        QTest::keyClick(keyTarget(s_.form.get()), letter(shown.mnemonic), Qt::AltModifier);
        return choose(shown.name, menuItem);
    }
    return "no menu " + menu;
}

std::string QtWindowDriver::context(const std::string& key, const std::string& menuItem) {
    if (std::string failed = selectNode(key); !failed.empty())
        return failed;
    QTreeView* tree = s_.tree();
    tree->setFocus();
    // The Menu key, then what the window system makes of it: a context menu event for the
    // control that has the focus.
    QTest::keyClick(tree, Qt::Key_Menu);
    const QPoint at = tree->visualRect(tree->currentIndex()).center();
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, tree->viewport()->mapToGlobal(at));
    QApplication::sendEvent(tree->viewport(), &event);
    return choose("treeContextMenu", menuItem);
}

std::string QtWindowDriver::type(const std::string& control, const std::string& text) {
    const QString name = QString::fromStdString(control);
    auto* box = s_.form->findChild<QLineEdit*>(name);
    if (auto* combo = s_.form->findChild<QComboBox*>(name))
        box = combo->lineEdit();
    if (box == nullptr)
        return "no text box named " + control;
    box->setFocus();
    typeInto(box, QString::fromUtf8(text));
    return {};
}

std::string QtWindowDriver::close() {
    s_.form->close();
    return {};
}

std::string QtWindowDriver::drop(QMimeData* data, Qt::DropAction action, QPoint at) {
    // As a drag ends over the view: it enters, moves to its place and drops there.
    QWidget* viewport = s_.tree()->viewport();
    QDragEnterEvent enter(at, action, data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(at, action, data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &move);
    QDropEvent drop(at, action, data, Qt::LeftButton, {});
    QApplication::sendEvent(viewport, &drop);
    if (!drop.isAccepted())
        return "the tree took no drop";
    // The window takes a drop once the drag is over.
    QApplication::processEvents();
    return {};
}

std::string QtWindowDriver::dropFiles(const std::string& key,
                                      const std::vector<std::string>& paths) {
    const QRect place = s_.tree()->visualRect(row(key));
    if (place.isEmpty())
        return "no row shows node " + key;
    QMimeData files;
    QList<QUrl> urls;
    for (const std::string& path : paths)
        urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
    files.setUrls(urls);
    return drop(&files, Qt::CopyAction, place.center());
}

std::string QtWindowDriver::dragFiles(const std::string& key) {
    const QRect place = s_.tree()->visualRect(row(key));
    if (place.isEmpty())
        return "no row shows node " + key;
    // The drag's data is what the list gives for its selected rows.
    auto* list = s_.find<QListWidget>("levelFileList");
    std::unique_ptr<QMimeData> data(
        list->model()->mimeData(list->selectionModel()->selectedIndexes()));
    return drop(data.get(), Qt::CopyAction, place.center());
}

std::string QtWindowDriver::dragLevel(const std::string& key, int target) {
    const QModelIndex level = row(key);
    const QModelIndex over = level.siblingAtRow(target);
    if (!over.isValid())
        return "no row " + std::to_string(target) + " beside " + key;
    // The drag's data is what the view takes from the level's row; it ends at the top of the
    // target row.
    std::unique_ptr<QMimeData> data(s_.tree()->model()->mimeData({level}));
    s_.tree()->scrollTo(over);
    const QRect place = s_.tree()->visualRect(over);
    return drop(data.get(), Qt::MoveAction, {place.center().x(), place.top() + 1});
}

std::string QtWindowDriver::resize(int width, int height) {
    s_.form->resize(width, height);
    QApplication::processEvents();
    return {};
}

bool QtWindowDriver::waitFor(const std::function<bool()>& holds) {
    return QTest::qWaitFor(holds, 5000);
}

std::string QtWindowDriver::openFile(const std::string& path) {
    s_.form->openFile(QString::fromStdString(s_.ui.driveC + '/' + path).replace('\\', '/'));
    return {};
}

std::string QtWindowDriver::openFolder(const std::string& name) {
    auto* folders = s_.find<QTreeWidget>("folderList");
    for (QTreeWidgetItemIterator item(folders); *item; ++item) {
        if ((*item)->text(0).toStdString() != name)
            continue;
        folders->scrollToItem(*item);
        QTest::mouseClick(folders->viewport(), Qt::LeftButton, {},
                          folders->visualItemRect(*item).center());
        return {};
    }
    return "the folder list has no row " + name;
}

std::vector<std::string> QtWindowDriver::folderRows() const {
    std::vector<std::string> names;
    for (QTreeWidgetItemIterator item(s_.find<QTreeWidget>("folderList")); *item; ++item)
        names.push_back((*item)->text(0).toStdString());
    return names;
}

std::string QtWindowDriver::selectProblem(const std::string& key) {
    auto* list = s_.form->findChild<QTreeWidget*>(QString::fromLatin1(window::kProblemList.name));
    if (list == nullptr || !list->isVisible())
        return "View > Problems is not open";
    const QString wanted = QString::fromStdString(key == "-" ? "" : key);
    for (int r = 0; r < list->topLevelItemCount(); ++r) {
        QTreeWidgetItem* item = list->topLevelItem(r);
        if (item->text(window::kProblemKeyColumn) != wanted)
            continue;
        list->scrollToItem(item);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(item).center());
        return {};
    }
    return "View > Problems has no row of " + key;
}

std::vector<std::vector<std::string>> QtWindowDriver::problemRows() const {
    std::vector<std::vector<std::string>> rows;
    auto* list = s_.form->findChild<QTreeWidget*>(QString::fromLatin1(window::kProblemList.name));
    for (int r = 0; list != nullptr && r < list->topLevelItemCount(); ++r) {
        rows.emplace_back();
        for (int c = 0; c < list->columnCount(); ++c)
            rows.back().push_back(list->topLevelItem(r)->text(c).toStdString());
    }
    return rows;
}

std::string QtWindowDriver::currentFile() const {
    QListWidgetItem* current = s_.find<QListWidget>("levelFileList")->currentItem();
    return current != nullptr ? current->text().toStdString() : std::string();
}

std::vector<std::string> QtWindowDriver::listedFiles() const {
    auto* list = s_.find<QListWidget>("levelFileList");
    std::vector<std::string> names;
    for (int r = 0; r < list->count(); ++r)
        names.push_back(list->item(r)->text().toStdString());
    return names;
}

std::vector<std::string> QtWindowDriver::rowsUnder(const std::string& key) const {
    auto* model = static_cast<LevelTreeModel*>(s_.tree()->model());
    const QModelIndex parent = row(key);
    std::vector<std::string> keys;
    if (key != "-" && !parent.isValid())
        return {"(no node " + key + ")"};
    for (int r = 0; r < model->rowCount(parent); ++r)
        keys.push_back(model->node(model->index(r, 0, parent))->key());
    return keys;
}

std::string QtWindowDriver::rowText(const std::string& key) const {
    const QModelIndex index = row(key);
    return index.isValid() ? s_.tree()->model()->data(index).toString().toStdString()
                           : "(no node " + key + ")";
}

std::string QtWindowDriver::rowMark(const std::string& key) const {
    const QModelIndex index = row(key);
    if (!index.isValid())
        return "(no node " + key + ")";
    const bool marked = !s_.tree()->model()->data(index, Qt::DecorationRole).isNull();
    const std::string tip =
        s_.tree()->model()->data(index, Qt::ToolTipRole).toString().toStdString();
    if (marked != !tip.empty())
        return marked ? "(a mark without a tooltip)" : "(a tooltip without a mark) " + tip;
    return tip;
}

std::string QtWindowDriver::boxText(const std::string& control) const {
    const QString name = QString::fromStdString(control);
    if (auto* combo = s_.form->findChild<QComboBox*>(name))
        return combo->currentText().toStdString();
    if (auto* label = s_.form->findChild<QLabel*>(name))
        return label->text().toStdString();
    auto* box = s_.form->findChild<QLineEdit*>(name);
    return box ? box->text().toStdString() : "(no text box " + control + ")";
}

int QtWindowDriver::widthOf(const std::string& control) const {
    auto* widget = s_.form->findChild<QWidget*>(QString::fromStdString(control));
    return widget && widget->isVisible() ? widget->width() : -1;
}

std::string QtWindowDriver::statusText() const {
    return (s_.form->statusBar()->currentMessage() + QStringLiteral("  ") +
            s_.find<QLabel>("statusLabel")->text())
        .toStdString();
}

std::string QtWindowDriver::lastMessage() const {
    return s_.ui.messages.empty() ? std::string() : s_.ui.messages.back();
}

std::string QtWindowDriver::lastQuestion() const {
    return s_.ui.questions.empty() ? std::string() : s_.ui.questions.back().text;
}

std::string QtWindowDriver::caption() const {
    return s_.form->windowTitle().toStdString();
}

bool QtWindowDriver::closed() const {
    return !s_.form->isVisible();
}

const Editor* QtWindowDriver::editor() const {
    return closed() ? nullptr : &s_.form->editor();
}

} // namespace quillfen::testing
