// The controls of Form1: what each is and where it stands. Rows of layouts keep the arrangement
// of the game's editor (left to right, top to bottom) while following the desktop's font and
// scaling; the tree and the two lists take the room when the window grows.
#include "editor/window_texts.h"
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

template <class Widget> Widget* named(Widget* widget, const window::ControlText& text) {
    widget->setObjectName(QString::fromLatin1(text.name));
    if (text.tooltip)
        widget->setToolTip(QString::fromLatin1(text.tooltip));
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

    using namespace window;
    auto label = [this](const ControlText& text) {
        return named(new QLabel(QString::fromLatin1(text.caption), central_), text);
    };
    auto button = [this](const ControlText& text) {
        return named(new QPushButton(QString::fromLatin1(text.caption), central_), text);
    };
    auto textBox = [this](const ControlText& text) { return named(new QLineEdit(central_), text); };

    Label1 = label(kLabel1);
    Combo1 = named(new QComboBox(central_), kCombo1);
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    Combo1->setEditText(QString::fromLatin1(kCombo1.caption));
    Combo1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Command4 = button(kCommand4);
    Label2 = label(kLabel2);
    Dir2Path = textBox(kDir2Path);
    Dir2Browse = button(kDir2Browse);
    Dir2 = named(new FolderList(central_), kDir2);
    Dir1 = named(new LevelFileListView(central_), kDir1);
    Dir1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Every row is as tall as the first, so the list need not measure thousands of them.
    Dir1->setUniformItemSizes(true);
    Dir1->setDragEnabled(true);
    for (QWidget* list : {static_cast<QWidget*>(Dir2), static_cast<QWidget*>(Dir1)})
        list->setMinimumHeight(kShortestList);
    countLabel = label(kCountLabel);
    Command6 = button(kCommand6);
    Command3 = button(kCommand3);

    TreeView1 = named(new QTreeView(central_), kTreeView1);
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

    Command2 = button(kCommand2);
    CommandDelG = button(kCommandDelG);
    // The arrows draw better than the captions "^" and "v".
    Command12 = named(new QPushButton(central_), kCommand12);
    Command12->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    Command13 = named(new QPushButton(central_), kCommand13);
    Command13->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    Command1 = button(kCommand1);
    Command5 = button(kCommand5);
    Text1 = textBox(kText1);
    Command10 = button(kCommand10);
    Command8 = button(kCommand8);
    Text2 = textBox(kText2);
    Command11 = button(kCommand11);
    Command9 = button(kCommand9);
    numlemm = textBox(kNumlemm);
    for (std::size_t i = 0; i < action.size(); ++i)
        action[i] = textBox(kActions[i]);
    Command7 = button(kCommand7);
    ProgressBar1 = named(new QProgressBar(central_), kProgressBar1);
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

    statusLabel = named(new QLabel(this), {"statusLabel", "", nullptr});
    statusBar()->addWidget(statusLabel, 1);
    statusBar()->setSizeGripEnabled(true);
    // A comfortable size for the first start, as far as the screen allows.
    const QSize available = screen() ? screen()->availableGeometry().size() : QSize(800, 600);
    resize(QSize(560, 720).boundedTo(available * 9 / 10).expandedTo(minimumSizeHint()));
}

void Form1::createMenus() {
    using namespace window;
    op_menu = menuBar()->addMenu(QString::fromLatin1(kOptionsMenu));
    op_menu->setObjectName(QStringLiteral("op_menu"));
    lemmstartup = op_menu->addAction(QString::fromLatin1(kSetStartupFolder));
    lemmstartup->setObjectName(QStringLiteral("lemmstartup"));
    lemmkey = op_menu->addAction(QString::fromLatin1(kLemmingsRegKey));
    lemmkey->setObjectName(QStringLiteral("lemmkey"));
    op_menu->addSeparator();
    winePrefix = op_menu->addAction(QString::fromLatin1(kWinePrefix));
    winePrefix->setObjectName(QStringLiteral("winePrefix"));
    editMenu = menuBar()->addMenu(QString::fromLatin1(kEditMenu));
    editMenu->setObjectName(QStringLiteral("editMenu"));
    undoAction = editMenu->addAction(QString::fromLatin1(kUndo));
    undoAction->setObjectName(QStringLiteral("undoAction"));
    undoAction->setShortcut(QKeySequence::Undo);
    redoAction = editMenu->addAction(QString::fromLatin1(kRedo));
    redoAction->setObjectName(QStringLiteral("redoAction"));
    redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    editMenu->addSeparator();
    importPack = editMenu->addAction(QString::fromLatin1(kImportLevelPack));
    importPack->setObjectName(QStringLiteral("importPack"));
    // "Help" stands on the menu bar itself and runs at once, without a menu of its own.
    he = menuBar()->addAction(QString::fromLatin1(kHelp));
    he->setObjectName(QStringLiteral("he"));
}

} // namespace quillfen
