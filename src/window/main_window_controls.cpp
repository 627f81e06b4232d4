// The controls of MainWindow: what each is, where it stands and which handler it calls. The
// level-file browser and the profile tree stand side by side, the detail panel under the tree;
// splitters between them give the room to whichever the user needs, and the lists and the tree
// take what the window gains.
#include "editor/window_texts.h"
#include "host/file_io.h"
#include "host/host_path.h"
#include "levelfile/level_file.h"
#include "window/folder_list.h"
#include "window/level_file_list.h"
#include "window/level_tree_model.h"
#include "window/main_window.h"
#include "window/preview_panel.h"

#include <QAction>
#include <QBoxLayout>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
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

// The rows the tree and the lists show at the least, as long as the screen allows.
constexpr int kTreeRows = 12;
constexpr int kListRows = 6;

// A column of rows and widgets without margins, for one pane of a splitter.
QVBoxLayout* pane(QWidget* widget) {
    auto* column = new QVBoxLayout(widget);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(3);
    return column;
}

QHBoxLayout* row(QBoxLayout* column, std::initializer_list<QWidget*> widgets) {
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

QSplitter* splitter(Qt::Orientation orientation, const char* name, QWidget* parent) {
    auto* split = new QSplitter(orientation, parent);
    split->setObjectName(QString::fromLatin1(name));
    split->setChildrenCollapsible(false);
    return split;
}

} // namespace

void MainWindow::createControls() {
    mainSplitter = splitter(Qt::Horizontal, "mainSplitter", this);
    mainSplitter->setContentsMargins(4, 2, 4, 0);
    setCentralWidget(mainSplitter);
    auto* browser = new QWidget(mainSplitter);
    browser->setObjectName(QStringLiteral("levelFileBrowser"));
    treeSplitter = splitter(Qt::Vertical, "treeSplitter", mainSplitter);
    auto* treePane = new QWidget(treeSplitter);
    treePane->setObjectName(QStringLiteral("treePane"));
    // The detail panel scrolls when the splitter leaves it little room.
    auto* detailScroll = new QScrollArea(treeSplitter);
    detailScroll->setObjectName(QStringLiteral("detailScroll"));
    detailScroll->setWidgetResizable(true);
    detailScroll->setFrameShape(QFrame::NoFrame);
    detailScroll->setMinimumHeight(fontMetrics().height());
    auto* detail = new QWidget;
    detail->setObjectName(QStringLiteral("detailPanel"));
    detailScroll->setWidget(detail);

    using namespace window;
    auto label = [](const ControlText& text, QWidget* parent) {
        return named(new QLabel(QString::fromLatin1(text.caption), parent), text);
    };
    auto button = [](const ControlText& text, QWidget* parent) {
        return named(new QPushButton(QString::fromLatin1(text.caption), parent), text);
    };
    auto textBox = [](const ControlText& text, QWidget* parent) {
        return named(new QLineEdit(parent), text);
    };

    // The level-file browser.
    folderLabel = label(kFolderLabel, browser);
    folderPathEdit = textBox(kFolderPathEdit, browser);
    browseFolderButton = button(kBrowseFolderButton, browser);
    listSplitter = splitter(Qt::Vertical, "listSplitter", browser);
    folderList = named(new FolderList(listSplitter), kFolderList);
    levelFileList = named(new LevelFileListView(listSplitter), kLevelFileList);
    levelFileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Every row is as tall as the first, so the list need not measure thousands of them.
    levelFileList->setUniformItemSizes(true);
    levelFileList->setDragEnabled(true);
    levelCountLabel = label(kCountLabel, browser);
    addLevelsButton = button(kAddLevelsButton, browser);
    QVBoxLayout* column = pane(browser);
    row(column, {folderLabel, folderPathEdit, browseFolderButton});
    column->addWidget(listSplitter, 1);
    row(column, {levelCountLabel, nullptr, addLevelsButton});

    // The profile tree with its buttons.
    profileLabel = label(kProfileLabel, treePane);
    profileBox = named(new QComboBox(treePane), kProfileBox);
    profileBox->setEditable(true);
    profileBox->setInsertPolicy(QComboBox::NoInsert);
    profileBox->setEditText(QString::fromLatin1(kProfileBox.caption));
    profileBox->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    loadProfileButton = button(kLoadProfileButton, treePane);
    profileTree = named(new QTreeView(treePane), kProfileTree);
    profileTree->setHeaderHidden(true);
    profileTree->setUniformRowHeights(true);
    profileTree->setSelectionMode(QAbstractItemView::SingleSelection);
    // A single click only selects: renaming takes F2 or a double click.
    profileTree->setEditTriggers(QAbstractItemView::EditKeyPressed |
                                 QAbstractItemView::DoubleClicked);
    profileTree->setDragDropMode(QAbstractItemView::DragDrop);
    profileTree->setDefaultDropAction(Qt::MoveAction);
    profileTree->setDropIndicatorShown(true);
    profileTree->setContextMenuPolicy(Qt::CustomContextMenu);
    model_ = new LevelTreeModel(editor_.tree(), this);
    model_->setProblemsOf([this](const LevelTreeNode* node) {
        return problemsOfNode(editor_.problems(), node->key());
    });
    profileTree->setModel(model_);
    addGroupButton = button(kAddGroupButton, treePane);
    deleteGroupButton = button(kDeleteGroupButton, treePane);
    addSetButton = button(kAddSetButton, treePane);
    deleteSetButton = button(kDeleteSetButton, treePane);
    deleteLevelButton = button(kDeleteLevelButton, treePane);
    // The arrows draw better than the captions "^" and "v".
    moveUpButton = named(new QPushButton(treePane), kMoveUpButton);
    moveUpButton->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    moveDownButton = named(new QPushButton(treePane), kMoveDownButton);
    moveDownButton->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    saveProfileButton = button(kSaveProfileButton, treePane);
    column = pane(treePane);
    row(column, {profileLabel, profileBox, loadProfileButton});
    column->addWidget(profileTree, 1);
    row(column, {addGroupButton, deleteGroupButton, addSetButton, deleteSetButton, nullptr});
    row(column, {deleteLevelButton, moveUpButton, moveDownButton, nullptr, saveProfileButton});

    // The detail panel: the two boxes with their labels and buttons, the nine counts each
    // beside its name, and the preview's place.
    auto* fields = new QGridLayout;
    fields->setSpacing(4);
    groupFolderEdit = textBox(kGroupFolderEdit, detail);
    updateFolderButton = button(kUpdateFolderButton, detail);
    levelFileEdit = textBox(kLevelFileEdit, detail);
    updateFileButton = button(kUpdateFileButton, detail);
    int line = 0;
    for (auto [name, box, update] :
         {std::tuple{kGroupFolderLabel, groupFolderEdit, updateFolderButton},
          std::tuple{kLevelFileLabel, levelFileEdit, updateFileButton}}) {
        QLabel* caption = label(name, detail);
        caption->setBuddy(box);
        fields->addWidget(caption, line, 0);
        fields->addWidget(box, line, 1);
        fields->addWidget(update, line++, 2);
    }
    levelPathLabel = named(new QLabel(detail), kLevelPathLabel);
    levelPathLabel->setWordWrap(true);
    levelPathLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lemmingsEdit = textBox(kLemmingsEdit, detail);
    for (std::size_t i = 0; i < actionEdits.size(); ++i)
        actionEdits[i] = textBox(kActionEdits[i], detail);
    saveLevelInfoButton = button(kSaveLevelInfoButton, detail);
    auto* counts = new QGridLayout;
    counts->setHorizontalSpacing(6);
    counts->setVerticalSpacing(2);
    std::array<QLineEdit*, 9> boxes{lemmingsEdit};
    std::copy(actionEdits.begin(), actionEdits.end(), boxes.begin() + 1);
    // Wide enough for three digits in the desktop's font, no wider.
    const int digits = fontMetrics().horizontalAdvance(QStringLiteral("2550"));
    for (int i = 0; i < 9; ++i) {
        QLineEdit* box = boxes[static_cast<std::size_t>(i)];
        auto* name = new QLabel(QString::fromLatin1(kCountNames[i]), detail);
        name->setObjectName(box->objectName() + QStringLiteral("Label"));
        name->setBuddy(box);
        box->setFixedWidth(digits);
        box->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[0-9]{0,%1}").arg(levelfile::kCountDigits)), box));
        counts->addWidget(name, i / 3, 2 * (i % 3));
        counts->addWidget(box, i / 3, 2 * (i % 3) + 1);
    }
    counts->setColumnStretch(6, 1);
    // The selected level's picture and facts.
    previewPanel = new PreviewPanel(editor_, detail);
    column = pane(detail);
    column->addLayout(fields);
    column->addWidget(levelPathLabel);
    column->addLayout(counts);
    row(column, {saveLevelInfoButton, nullptr});
    column->addWidget(previewPanel, 1);

    mainSplitter->setStretchFactor(0, 2);
    mainSplitter->setStretchFactor(1, 3);
    treeSplitter->setStretchFactor(0, 1);
    treeSplitter->setStretchFactor(1, 0);

    statusLabel = named(new QLabel(this), {"statusLabel", "", nullptr});
    statusBar()->addWidget(statusLabel, 1);
    progressBar = named(new QProgressBar(this), kProgressBar);
    progressBar->setTextVisible(false);
    progressBar->setMaximumWidth(fontMetrics().averageCharWidth() * 16);
    statusBar()->addPermanentWidget(progressBar);
    messageLog = new MessageLog(this);
    reports_.showIn(statusBar(), messageLog);
    problemList = new ProblemList(this, [this](const std::string& key) { selectProblemNode(key); });
}

QString windowSettingsPath() {
    const std::string folder = settingsFolder();
    const QString path = QString::fromStdString(pathIn(folder, "window.ini"));
    if (QFileInfo::exists(path))
        return path;
    QSettings old;
    if (const QStringList keys = old.allKeys(); !keys.isEmpty() && makeFolder(folder).ok()) {
        QSettings kept(path, QSettings::IniFormat);
        for (const QString& key : keys)
            kept.setValue(key, old.value(key));
        kept.sync();
        if (kept.status() == QSettings::NoError)
            QFile::remove(old.fileName());
    }
    return path;
}

void MainWindow::restoreLayout() {
    const QSettings settings(windowSettingsPath(), QSettings::IniFormat);
    if (restoreGeometry(settings.value(QStringLiteral("window/geometry")).toByteArray()) &&
        mainSplitter->restoreState(
            settings.value(QStringLiteral("window/mainSplitter")).toByteArray()) &&
        treeSplitter->restoreState(
            settings.value(QStringLiteral("window/treeSplitter")).toByteArray()) &&
        listSplitter->restoreState(
            settings.value(QStringLiteral("window/listSplitter")).toByteArray()))
        return;
    // The first start: as much of the screen as a comfortable size needs, the tree's rows and
    // the lists' first, the detail panel what is left.
    // The title bar's height is left for the window manager's frame.
    const QSize available = screen() ? screen()->availableGeometry().size() : QSize(1024, 768);
    resize(QSize(960, 720)
               .boundedTo(available - QSize(0, 2 * fontMetrics().height()))
               .expandedTo(minimumSizeHint()));
    // The views are empty yet: a row is taken as the font's height and the item's margins.
    const int rowHeight = profileTree->fontMetrics().height() + 8;
    const int treeHeight = rowHeight * kTreeRows + 4 * loadProfileButton->sizeHint().height();
    const int room = height() - menuBar()->sizeHint().height() - statusBar()->sizeHint().height();
    treeSplitter->setSizes({treeHeight, std::max(0, room - treeHeight)});
    listSplitter->setSizes({rowHeight * kListRows, rowHeight * kListRows});
}

void MainWindow::keepLayout() const {
    if (!makeFolder(settingsFolder()).ok())
        return;
    QSettings settings(windowSettingsPath(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
    settings.setValue(QStringLiteral("window/mainSplitter"), mainSplitter->saveState());
    settings.setValue(QStringLiteral("window/treeSplitter"), treeSplitter->saveState());
    settings.setValue(QStringLiteral("window/listSplitter"), listSplitter->saveState());
}

void MainWindow::connectControls() {
    auto onClick = [this](QPushButton* button, void (MainWindow::*handler)()) {
        connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(loadProfileButton, &MainWindow::onLoadProfile);
    onClick(saveProfileButton, &MainWindow::onSaveProfile);
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
    onClick(browseFolderButton, &MainWindow::onBrowseFolder);
    connect(folderList, &FolderList::pathChanged, this, &MainWindow::onFolderChanged);
    // A file of the list shows in the panel alone, its counts with it.
    connect(levelFileList, &QListWidget::currentItemChanged, this, &MainWindow::levelFileChosen);
    connect(folderPathEdit, &QLineEdit::returnPressed, this, &MainWindow::onFolderPathEntered);
    // Files that come or go while the window is open show at once.
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, &MainWindow::onFolderChanged);
    connect(profileBox, &QComboBox::activated, this, &MainWindow::onProfileChosen);

    connect(profileTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { selectionChanged(current); });
    connect(profileTree, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        // A click that changed the selection was told by currentChanged already.
        if (index == currentAtPress_)
            onNodeClicked();
    });
    connect(profileTree, &QWidget::customContextMenuRequested, this, &MainWindow::showContextMenu);
    model_->setRenameRequest(
        [this](const LevelTreeNode* node, const QString& text) { return onRename(node, text); });
    model_->setDropRequest([this](const LevelTreeNode* set, int row, const QMimeData* data) {
        return dropOnSet(set, row, data);
    });
}

} // namespace quillfen
