// The controls of Form1: what each is, where it stands and how it follows a larger window.
#include "window/folder_list.h"
#include "window/form1.h"
#include "window/level_tree_model.h"

#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeView>

namespace quillfen {
namespace {

// Positions in twips, as the game's editor laid them out; 15 twips are one pixel at 96 dots an
// inch, and Qt scales pixels by the screen's device pixel ratio. When the window is larger than
// its default size, a control moves right by `moveX` and grows by `growW` of the extra width, and
// likewise down and taller with the extra height: the tree grows both ways, the two lists across.
struct Place {
    const char* name;
    int left, top, width, height;
    double moveX = 0, growW = 0, moveY = 0, growH = 0;
};

constexpr int kTwipsPerPixel = 15;
constexpr int kInnerWidth = 5880;
constexpr int kInnerHeight = 8745;

constexpr Place kPlaces[] = {
    {"Label1", 120, 120, 2655, 255},
    {"Combo1", 2640, 120, 1695, 315},
    {"Command4", 4440, 120, 1095, 375},
    {"Label2", 120, 600, 5655, 255},
    {"Dir2", 120, 840, 2655, 1890, 0, 0.5},
    {"Dir1", 3000, 840, 2775, 1845, 0.5, 0.5},
    {"countLabel", 3120, 2760, 2655, 255, 0.5},
    {"Command6", 120, 3120, 2775, 375},
    {"Command3", 3000, 3120, 2775, 375, 0.5},
    {"TreeView1", 120, 3600, 5655, 2415, 0, 1, 0, 1},
    {"Command2", 120, 6120, 975, 375, 0, 0, 1},
    {"CommandDelG", 1080, 6120, 1095, 375, 0, 0, 1},
    {"Command12", 2520, 6120, 255, 255, 0, 0, 1},
    {"Command13", 3000, 6120, 255, 255, 0, 0, 1},
    {"Command1", 3600, 6120, 1095, 375, 0, 0, 1},
    {"Command5", 4680, 6120, 1095, 375, 0, 0, 1},
    {"Text1", 120, 6600, 1335, 285, 0, 0, 1},
    {"Command10", 1440, 6600, 735, 255, 0, 0, 1},
    {"Command8", 2520, 6600, 735, 255, 0, 0, 1},
    {"Text2", 3600, 6600, 1335, 285, 0, 0, 1},
    {"Command11", 4920, 6600, 735, 255, 0, 0, 1},
    {"Command9", 2040, 6960, 1695, 315, 0, 0, 1},
    {"numlemm", 2520, 7440, 735, 285, 0, 0, 1},
    {"action1", 720, 7800, 495, 285, 0, 0, 1},
    {"action2", 1320, 7800, 495, 285, 0, 0, 1},
    {"action3", 1920, 7800, 495, 285, 0, 0, 1},
    {"action4", 2520, 7800, 495, 285, 0, 0, 1},
    {"action5", 3120, 7800, 495, 285, 0, 0, 1},
    {"action6", 3720, 7800, 495, 285, 0, 0, 1},
    {"action7", 4320, 7800, 495, 285, 0, 0, 1},
    {"action8", 4920, 7800, 495, 285, 0, 0, 1},
    {"Command7", 2160, 8160, 1335, 315, 0, 0, 1},
    {"ProgressBar1", 0, 8520, 5895, 255, 0, 1, 1},
};

constexpr int pixels(int twips) {
    return twips / kTwipsPerPixel;
}

// The sizes of the game's editor: 8-point text at 96 dots an inch. Given in pixels so that the
// text keeps fitting the controls whatever the screen's font resolution.
constexpr int kTextPixels = 11;

QFont fontOf(const char* family) {
    QFont font(QString::fromLatin1(family));
    font.setPixelSize(kTextPixels);
    return font;
}

template <class Widget> Widget* named(Widget* widget, const char* name, const char* tooltip) {
    widget->setObjectName(QString::fromLatin1(name));
    if (tooltip)
        widget->setToolTip(QString::fromLatin1(tooltip));
    return widget;
}

} // namespace

void Form1::createControls() {
    central_ = new QWidget(this);
    central_->setObjectName(QStringLiteral("central"));
    central_->setMinimumSize(pixels(kInnerWidth), pixels(kInnerHeight));
    setCentralWidget(central_);
    QFont base = font();
    base.setPixelSize(kTextPixels);
    setFont(base);

    auto label = [this](const char* name, const char* text) {
        auto* widget = named(new QLabel(QString::fromLatin1(text), central_), name, nullptr);
        widget->setFont(fontOf("Verdana"));
        return widget;
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
    Command4 = button("Command4", "Load Profile", nullptr);
    Label2 = label("Label2", "New Levels Folder");
    Dir2 = named(new FolderList(central_), "Dir2", "the path to your windows lemmings level files");
    Dir1 = named(new QListWidget(central_), "Dir1", "available level files");
    Dir1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    countLabel = label("countLabel", "0 levels found");
    Command6 = button("Command6", "Delete Selected Level", "delete the selected level");
    Command3 = button("Command3", "Add Selected Level(s)",
                      "adds the selected level from above to the seleted set below");

    TreeView1 = named(new QTreeView(central_), "TreeView1", nullptr);
    TreeView1->setFont(fontOf("Arial"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setUniformRowHeights(true);
    TreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeView1->setEditTriggers(QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::SelectedClicked);
    model_ = new LevelTreeModel(editor_.tree(), this);
    TreeView1->setModel(model_);

    Command2 = button("Command2", "Add Group", "add a new group");
    CommandDelG = button("CommandDelG", "Delete Group", "delete entire selected group");
    Command12 = button("Command12", "^", "move selected level up");
    Command13 = button("Command13", "v", "move selected level down");
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

    central_->installEventFilter(this);
    TreeView1->viewport()->installEventFilter(this);
    resize(pixels(kInnerWidth), pixels(kInnerHeight) + menuBar()->sizeHint().height());
    layoutControls();
}

void Form1::createMenus() {
    op_menu = menuBar()->addMenu(QStringLiteral("Options"));
    op_menu->setObjectName(QStringLiteral("op_menu"));
    lemmstartup = op_menu->addAction(QStringLiteral("Set Startup Folder"));
    lemmstartup->setObjectName(QStringLiteral("lemmstartup"));
    lemmkey = op_menu->addAction(QStringLiteral("Lemmings REG key"));
    lemmkey->setObjectName(QStringLiteral("lemmkey"));
    editMenu = menuBar()->addMenu(QStringLiteral("Edit"));
    editMenu->setObjectName(QStringLiteral("editMenu"));
    undoAction = editMenu->addAction(QStringLiteral("Undo"));
    undoAction->setObjectName(QStringLiteral("undoAction"));
    undoAction->setShortcut(QKeySequence::Undo);
    redoAction = editMenu->addAction(QStringLiteral("Redo"));
    redoAction->setObjectName(QStringLiteral("redoAction"));
    redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    // "Help" stands on the menu bar itself and runs at once, without a menu of its own.
    he = menuBar()->addAction(QStringLiteral("Help"));
    he->setObjectName(QStringLiteral("he"));
}

void Form1::layoutControls() {
    const int extraWidth = std::max(0, central_->width() - pixels(kInnerWidth));
    const int extraHeight = std::max(0, central_->height() - pixels(kInnerHeight));
    for (const Place& place : kPlaces) {
        auto* widget = central_->findChild<QWidget*>(QString::fromLatin1(place.name),
                                                     Qt::FindDirectChildrenOnly);
        if (widget == nullptr)
            continue;
        widget->setGeometry(pixels(place.left) + static_cast<int>(place.moveX * extraWidth),
                            pixels(place.top) + static_cast<int>(place.moveY * extraHeight),
                            pixels(place.width) + static_cast<int>(place.growW * extraWidth),
                            pixels(place.height) + static_cast<int>(place.growH * extraHeight));
    }
}

} // namespace quillfen
