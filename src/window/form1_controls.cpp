// The controls of Form1: what each is and where it stands. Rows of layouts keep the arrangement
// of the game's editor (left to right, top to bottom) while following the desktop's font and
// scaling; the tree and the two lists take the room when the window grows.
#include "window/folder_list.h"
#include "window/form1.h"
#include "window/level_file_list.h"
#include "window/level_tree_model.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTreeView>

namespace quillfen {
namespace {

template <class Widget> Widget* named(Widget* widget, const char* name, const char* tooltip) {
    widget->setObjectName(QString::fromLatin1(name));
    if (tooltip)
        widget->setToolTip(QString::fromLatin1(tooltip));
    return widget;
}

// Lists and the tree may shrink this far, so that the window fits a small screen at a large
// scale; they take every pixel beyond.
constexpr int kShortestList = 40;

QHBoxLayout* row(QVBoxLayout* column, std::initializer_list<QWidget*> widgets) {
    auto* line = new QHBoxLayout;
    line->setSpacing(4);
    for (QWidget* widget : widgets) {
        if (widget)
            line->addWidget(widget);
        else
            line->addStretch();
    }
    column->addLayout(line);
    return line;
}

} // namespace

void Form1::createControls() {
    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("central"));
    setCentralWidget(central_);

    auto label = [this](const char* name, const char* text) {
        return named(new QLabel(QString::fromLatin1(text), central_), name, nullptr);
    };
    auto button = [this](const char* name, const char* caption, const char* tooltip) {
        return named(new QPushButton(QString::fromLatin1(caption), central_), name, tooltip);
    };
    auto textBox = [this](const char* name, const char* tooltip) {
        return named(new QLineEdit(central_), name, tooltip);
    };

    Label1 = label("Label1", "Lemmings User Profile");
    Combo1 = named(new QComboBox(central_), "Combo1",
                   "lemming has different profiles for different players, choose the profile you "
                   "want to edit");
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setEditText(QStringLiteral("Combo1"));
    Combo1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Command4 = button("Command4", "Load Profile", nullptr);
    Label2 = label("Label2", "New Levels Folder");
    Dir2Path = textBox("Dir2Path", "the folder shown below: type a folder (C:\\LEMM or a path of "
                                   "this computer) and press Enter");
    Dir2Browse = button("Dir2Browse", "Browse...", "choose the folder of your level files");
    Dir2 = named(new FolderList(central_), "Dir2", "the path to your windows lemmings level files");
    Dir1 = named(new LevelFileListView(central_), "Dir1", "available level files");
    Dir1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Every row is as tall as the first, so the list need not measure thousands of them.
    Dir1->setUniformItemSizes(true);
    Dir1->setDragEnabled(true);
    for (QWidget* list : {static_cast<QWidget*>(Dir2), static_cast<QWidget*>(Dir1)})
        list->setMinimumHeight(kShortestList);
    countLabel = label("countLabel", "0 levels found");
    Command6 = button("Command6", "Delete Selected Level", "delete the selected level");
    Command3 = button("Command3", "Add Selected Level(s)",
                      "adds the selected level from above to the seleted set below");

    TreeView1 = named(new QTreeView(central_), "TreeView1", nullptr);
    TreeView1->setHeaderHidden(true);
    TreeView1->setUniformRowHeights(true);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    // A single click only selects: renaming takes F2 or a double click.
    TreeView1->setEditTriggers(QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::DoubleClicked);
    TreeView1->setDragDropMode(QAbstractItemView::DragDrop);
    TreeView1->setDefaultDropAction(Qt::MoveAction);
    TreeView1->setDropIndicatorShown(true);
    TreeView1->setMinimumHeight(kShortestList);
    model_ = new LevelTreeModel(editor_.tree(), this);
    TreeView1->setModel(model_);

    Command2 = button("Command2", "Add Group", "add a new group");
    CommandDelG = button("CommandDelG", "Delete Group", "delete entire selected group");
    Command12 = button("Command12", "", "move selected level up");
    Command12->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    Command13 = button("Command13", "", "move selected level down");
    Command13->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    Command1 = button("Command1", "Add Set", "add a new set under the current group");
    Command5 = button("Command5", "Delete Set", "delete entire selected set");
    Text1 = textBox("Text1", "this is the folder that the group will read levels from");
    Command10 =
        button("Command10", "update", "updated the folder that the selected group will look in");
    Command8 = button("Command8", "info", "debug info");
    Text2 = textBox("Text2", "this is the level file for the selected level");
    Command11 = button("Command11", "update", "updates the level filename for the selected file");
    Command9 = button("Command9", "Save Profile Data", "save the above profile changes");
    numlemm = textBox("numlemm", "number of lemmings for selected level");
    static constexpr const char* kCountNames[9] = {"lemmings", "climbers", "floaters",
                                                   "bombers",  "blockers", "builders",
                                                   "bashers",  "miners",   "diggers"};
    static constexpr const char* kActionTips[8] = {
        "number of climbers for selected level", "number of floaters for selected level",
        "number of bombers for selected level",  "number of blockers for selected level",
        "number of builders for selected level", "number of bashers for selected level",
        "number of miners for selected level",   "number of diggers for selected level"};
    for (std::size_t i = 0; i < action.size(); ++i) {
        std::string name = "action" + std::to_string(i + 1);
        action[i] = textBox(name.c_str(), kActionTips[i]);
    }
    Command7 = button("Command7", "Save Level Info",
                      "update the level file with the number of lemmings and lemming actions");
    ProgressBar1 = named(new QProgressBar(central_), "ProgressBar1", nullptr);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setMaximumHeight(fontMetrics().height() / 2 + 4);

    auto* column = new QVBoxLayout(central_);
    column->setContentsMargins(6, 4, 6, 2);
    column->setSpacing(3);
    row(column, {Label1, Combo1, Command4});
    row(column, {Label2, Dir2Path, Dir2Browse});
    auto* lists = row(column, {Dir2, Dir1});
    lists->setStretch(0, 1);
    lists->setStretch(1, 1);
    column->setStretchFactor(lists, 1);
    row(column, {countLabel, nullptr, Command6, Command3});
    column->addWidget(TreeView1, 2);
    row(column,
        {Command2, CommandDelG, nullptr, Command12, Command13, nullptr, Command1, Command5});
    row(column, {Text1, Command10, Command8, Text2, Command11});
    row(column, {nullptr, Command9, nullptr});

    // The nine counts, each under its name, with Save Level Info at the end of their row.
    auto* counts = new QGridLayout;
    counts->setHorizontalSpacing(4);
    counts->setVerticalSpacing(0);
    std::array<QLineEdit*, 9> boxes{numlemm};
    std::copy(action.begin(), action.end(), boxes.begin() + 1);
    for (int i = 0; i < 9; ++i) {
        QLineEdit* box = boxes[static_cast<std::size_t>(i)];
        auto* name = new QLabel(QString::fromLatin1(kCountNames[i]), central_);
        name->setObjectName(box->objectName() + QStringLiteral("Label"));
        name->setBuddy(box);
        // Wide enough for three digits in the desktop's font, no wider.
        const int digits = fontMetrics().horizontalAdvance(QStringLiteral("2550"));
        box->setMinimumWidth(digits);
        box->setMaximumWidth(3 * digits);
        counts->addWidget(name, 0, i);
        counts->addWidget(box, 1, i);
    }
    counts->addWidget(Command7, 1, 9);
    column->addLayout(counts);
    column->addWidget(ProgressBar1);

    statusLabel = named(new QLabel(this), "statusLabel", nullptr);
    statusBar()->addWidget(statusLabel, 1);
    statusBar()->setSizeGripEnabled(true);
    // A comfortable size for the first start, as far as the screen allows.
    const QSize available = screen() ? screen()->availableGeometry().size() : QSize(800, 600);
    resize(QSize(560, 720).boundedTo(available * 9 / 10).expandedTo(minimumSizeHint()));
}

void Form1::createMenus() {
    op_menu = menuBar()->addMenu(QStringLiteral("Options"));
    op_menu->setObjectName(QStringLiteral("op_menu"));
    lemmstartup = op_menu->addAction(QStringLiteral("Set Startup Folder"));
    lemmstartup->setObjectName(QStringLiteral("lemmstartup"));
    lemmkey = op_menu->addAction(QStringLiteral("Lemmings REG key"));
    lemmkey->setObjectName(QStringLiteral("lemmkey"));
    op_menu->addSeparator();
    winePrefix = op_menu->addAction(QStringLiteral("Wine prefix..."));
    winePrefix->setObjectName(QStringLiteral("winePrefix"));
    editMenu = menuBar()->addMenu(QStringLiteral("Edit"));
    editMenu->setObjectName(QStringLiteral("editMenu"));
    undoAction = editMenu->addAction(QStringLiteral("Undo"));
    undoAction->setObjectName(QStringLiteral("undoAction"));
    undoAction->setShortcut(QKeySequence::Undo);
    redoAction = editMenu->addAction(QStringLiteral("Redo"));
    redoAction->setObjectName(QStringLiteral("redoAction"));
    redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    editMenu->addSeparator();
    importPack = editMenu->addAction(QStringLiteral("Import Level Pack..."));
    importPack->setObjectName(QStringLiteral("importPack"));
    // "Help" stands on the menu bar itself and runs at once, without a menu of its own.
    he = menuBar()->addAction(QStringLiteral("Help"));
    he->setObjectName(QStringLiteral("he"));
}

} // namespace quillfen
