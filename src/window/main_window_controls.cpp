// The controls of MainWindow: what each is, where it stands and which handler it calls. Rows of
// layouts keep the arrangement of the game's editor (left to right, top to bottom) while
// following the desktop's font and scaling; the tree and the two lists take the room when the
// window grows.
#include "editor/window_texts.h"
#include "host/file_io.h"
#include "window/folder_list.h"
#include "window/level_file_list.h"
#include "window/level_tree_model.h"
#include "window/main_window.h"
#include "window/preview_panel.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QFileSystemWatcher>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
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

void MainWindow::createControls() {
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

    profileLabel = label(kProfileLabel);
    profileBox = named(new QComboBox(central_), kProfileBox);
    profileBox->setEditable(true);
    profileBox->setInsertPolicy(QComboBox::NoInsert);
    profileBox->setEditText(QString::fromLatin1(kProfileBox.caption));
    profileBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    loadProfileButton = button(kLoadProfileButton);
    folderLabel = label(kFolderLabel);
    folderPathEdit = textBox(kFolderPathEdit);
    browseFolderButton = button(kBrowseFolderButton);
    folderList = named(new FolderList(central_), kFolderList);
    levelFileList = named(new LevelFileListView(central_), kLevelFileList);
    levelFileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Every row is as tall as the first, so the list need not measure thousands of them.
    levelFileList->setUniformItemSizes(true);
    levelFileList->setDragEnabled(true);
    for (QWidget* list : {static_cast<QWidget*>(folderList), static_cast<QWidget*>(levelFileList)})
        list->setMinimumHeight(kShortestList);
    levelCountLabel = label(kCountLabel);
    deleteLevelButton = button(kDeleteLevelButton);
    addLevelsButton = button(kAddLevelsButton);

    profileTree = named(new QTreeView(central_), kProfileTree);
    profileTree->setHeaderHidden(true);
    profileTree->setUniformRowHeights(true);
    profileTree->setSelectionMode(QAbstractItemView::SingleSelection);
    // A single click only selects: renaming takes F2 or a double click.
    profileTree->setEditTriggers(QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::DoubleClicked);
    profileTree->setDragDropMode(QAbstractItemView::DragDrop);
    profileTree->setDefaultDropAction(Qt::MoveAction);
    profileTree->setDropIndicatorShown(true);
    profileTree->setMinimumHeight(kShortestList);
    model_ = new LevelTreeModel(editor_.tree(), this);
    profileTree->setModel(model_);

    addGroupButton = button(kAddGroupButton);
    deleteGroupButton = button(kDeleteGroupButton);
    // The arrows draw better than the captions "^" and "v".
    moveUpButton = named(new QPushButton(central_), kMoveUpButton);
    moveUpButton->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    moveDownButton = named(new QPushButton(central_), kMoveDownButton);
    moveDownButton->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    addSetButton = button(kAddSetButton);
    deleteSetButton = button(kDeleteSetButton);
    groupFolderEdit = textBox(kGroupFolderEdit);
    updateFolderButton = button(kUpdateFolderButton);
    nodeInfoButton = button(kNodeInfoButton);
    levelFileEdit = textBox(kLevelFileEdit);
    updateFileButton = button(kUpdateFileButton);
    saveProfileButton = button(kSaveProfileButton);
    lemmingsEdit = textBox(kNumlemm);
    for (std::size_t i = 0; i < actionEdits.size(); ++i)
        actionEdits[i] = textBox(kActionEdits[i]);
    saveLevelInfoButton = button(kSaveLevelInfoButton);
    // The selected level's preview, and its two menu commands.
    previewPanel = new PreviewPanel(editor_, central_);
    optionsMenu
        ->addAction(QString::fromLatin1(kGameGraphicsFolder), previewPanel,
                    &PreviewPanel::chooseGraphicsFolder)
        ->setObjectName(QStringLiteral("gameGraphicsFolderAction"));
    QMenu* viewMenu = new QMenu(QString::fromLatin1(kViewMenu), this);
    menuBar()->insertMenu(helpAction, viewMenu);
    viewMenu->addAction(QString::fromLatin1(kPreview), previewPanel, &PreviewPanel::openWindow)
        ->setObjectName(QStringLiteral("previewAction"));
    progressBar = named(new QProgressBar(central_), kProgressBar);
    progressBar->setTextVisible(false);
    progressBar->setMaximumHeight(fontMetrics().height() / 2 + 4);

    auto* column = new QVBoxLayout(central_);
    column->setContentsMargins(6, 4, 6, 2);
    column->setSpacing(3);
    row(column, {profileLabel, profileBox, loadProfileButton});
    row(column, {folderLabel, folderPathEdit, browseFolderButton});
    auto* lists = row(column, {folderList, levelFileList});
    lists->setStretch(0, 1);
    lists->setStretch(1, 1);
    column->setStretchFactor(lists, 1);
    row(column, {levelCountLabel, nullptr, deleteLevelButton, addLevelsButton});
    column->addWidget(profileTree, 2);
    row(column, {addGroupButton, deleteGroupButton, nullptr, moveUpButton, moveDownButton, nullptr,
                 addSetButton, deleteSetButton});
    row(column,
        {groupFolderEdit, updateFolderButton, nodeInfoButton, levelFileEdit, updateFileButton});
    row(column, {nullptr, saveProfileButton, nullptr});

    // The nine counts, each under its name, with Save Level Info at the end of their row.
    auto* counts = new QGridLayout;
    counts->setHorizontalSpacing(4);
    counts->setVerticalSpacing(0);
    std::array<QLineEdit*, 9> boxes{lemmingsEdit};
    std::copy(actionEdits.begin(), actionEdits.end(), boxes.begin() + 1);
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
    counts->addWidget(saveLevelInfoButton, 1, 9);
    column->addLayout(counts);
    column->addWidget(previewPanel);
    column->addWidget(progressBar);

    statusLabel = named(new QLabel(this), {"statusLabel", "", nullptr});
    statusBar()->addWidget(statusLabel, 1);
    statusBar()->setSizeGripEnabled(true);
    // A comfortable size for the first start, as far as the screen allows.
    const QSize available = screen() ? screen()->availableGeometry().size() : QSize(800, 600);
    resize(QSize(560, 720).boundedTo(available * 9 / 10).expandedTo(minimumSizeHint()));
}

void MainWindow::connectControls() {
    auto onClick = [this](QPushButton* button, void (MainWindow::*handler)()) {
        connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(loadProfileButton, &MainWindow::onLoadProfile);
    onClick(saveProfileButton, &MainWindow::onSaveProfile);
    onClick(nodeInfoButton, &MainWindow::onNodeInfo);
    onClick(saveLevelInfoButton, &MainWindow::onSaveLevelInfo);
    onClick(addGroupButton, &MainWindow::onAddGroup);
    onClick(addSetButton, &MainWindow::onAddSet);
    onClick(addLevelsButton, &MainWindow::onAddSelectedLevels);
    onClick(deleteGroupButton, &MainWindow::onDeleteGroup);
    onClick(deleteSetButton, &MainWindow::onDeleteSet);
    onClick(deleteLevelButton, &MainWindow::onDeleteLevel);
    onClick(moveUpButton, &MainWindow::onMoveUp);
    onClick(moveDownButton, &MainWindow::onMoveDown);
    onClick(updateFolderButton, &MainWindow::onUpdateFolder);
    onClick(updateFileButton, &MainWindow::onUpdateFileName);
    connect(folderList, &FolderList::pathChanged, this, &MainWindow::onFolderChanged);
    connect(levelFileList, &QListWidget::currentTextChanged, this, [this](const QString& name) {
        previewPanel->showLevel(name.isEmpty() ? std::string()
                                               : pathIn(editor_.levelFolder(), name.toStdString()));
    });
    connect(folderPathEdit, &QLineEdit::returnPressed, this, &MainWindow::onFolderPathEntered);
    connect(browseFolderButton, &QPushButton::clicked, this, &MainWindow::onBrowseFolder);
    // Files that come or go while the window is open show at once.
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &MainWindow::onFolderChanged);
    new QShortcut(QKeySequence::Refresh, this, this, &MainWindow::onFolderChanged);
    connect(profileBox, &QComboBox::activated, this, &MainWindow::onProfileChosen);
    connect(setStartupFolderAction, &QAction::triggered, this, &MainWindow::onSetStartupFolder);
    connect(usersKeyAction, &QAction::triggered, this, &MainWindow::onChangeUsersKey);
    connect(helpAction, &QAction::triggered, this, &MainWindow::onHelp);
    connect(undoAction, &QAction::triggered, this, &MainWindow::onUndo);
    connect(winePrefixAction, &QAction::triggered, this, &MainWindow::onWinePrefix);
    connect(importPackAction, &QAction::triggered, this, &MainWindow::onImportPack);
    connect(redoAction, &QAction::triggered, this, &MainWindow::onRedo);

    connect(profileTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { selectionChanged(current); });
    connect(profileTree, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        // A click that changed the selection was told by currentChanged already.
        if (index == currentAtPress_)
            onNodeClicked();
    });
    model_->setRenameRequest(
        [this](const LevelTreeNode* node, const QString& text) { return onRename(node, text); });
    model_->setDropRequest([this](const LevelTreeNode* set, int row, const QMimeData* data) {
        return dropOnSet(set, row, data);
    });

    // The tree's keys act only while the tree has the focus: elsewhere Delete edits a text and
    // Alt+Down opens the profile box's list.
    new QShortcut(QKeySequence::Delete, profileTree, this, &MainWindow::deleteSelected,
                  Qt::WidgetShortcut);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Up), profileTree, this, &MainWindow::onMoveUp,
                  Qt::WidgetShortcut);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Down), profileTree, this, &MainWindow::onMoveDown,
                  Qt::WidgetShortcut);
    new QShortcut(QKeySequence::Save, this, this, &MainWindow::onSaveProfile);
}

} // namespace quillfen
