// The controls of MainWindow: what each is, where it stands and which handler it calls. The
// level-file browser and the profile tree stand side by side, a splitter between them; the detail
// panel runs across the window's whole width under both, the level's picture its widest part, and
// the lists and the tree take what the window gains.
#include "editor/window_texts.h"
#include "host/file_io.h"
#include "host/host_path.h"
#include "levelfile/level_file.h"
#include "window/eliding_label.h"
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
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
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

// The rows each list shows at the least, as long as the screen allows.
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
    auto* central = new QWidget(this);
    setCentralWidget(central);
    mainSplitter = splitter(Qt::Horizontal, "mainSplitter", central);
    auto* browser = new QWidget(mainSplitter);
    browser->setObjectName(QStringLiteral("levelFileBrowser"));
    auto* treePane = new QWidget(mainSplitter);
    treePane->setObjectName(QStringLiteral("treePane"));
    auto* detail = new QWidget(central);
    detail->setObjectName(QStringLiteral("detailPanel"));
    QVBoxLayout* whole = pane(central);
    whole->setContentsMargins(4, 2, 4, 0);
    whole->addWidget(mainSplitter, 1);
    whole->addWidget(detail);

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

    // The detail panel: its heading, the two boxes with their labels and buttons in one row, the
    // nine counts each under its name in another, and the picture across the whole width.
    auto* fields = new QHBoxLayout;
    fields->setSpacing(4);
    groupFolderEdit = textBox(kGroupFolderEdit, detail);
    updateFolderButton = button(kUpdateFolderButton, detail);
    levelFileEdit = textBox(kLevelFileEdit, detail);
    updateFileButton = button(kUpdateFileButton, detail);
    for (auto [name, box, update] :
         {std::tuple{kGroupFolderLabel, groupFolderEdit, updateFolderButton},
          std::tuple{kLevelFileLabel, levelFileEdit, updateFileButton}}) {
        QLabel* caption = label(name, detail);
        caption->setBuddy(box);
        fields->addWidget(caption);
        fields->addWidget(box, 1);
        fields->addWidget(update);
    }
    // The heading names the level whose file the boxes show.
    levelPathLabel = named(new ElidingLabel(detail), kLevelPathLabel);
    QFont bold = levelPathLabel->font();
    bold.setBold(true);
    levelPathLabel->setFont(bold);
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
        counts->addWidget(name, 0, i);
        counts->addWidget(box, 1, i);
    }
    counts->addWidget(saveLevelInfoButton, 1, 9);
    counts->setColumnStretch(10, 1);
    // The selected level's picture and facts.
    previewPanel = new PreviewPanel(editor_, detail);
    column = pane(detail);
    column->addWidget(levelPathLabel);
    column->addLayout(fields);
    column->addLayout(counts);
    column->addWidget(previewPanel);
    // The views give up rows before the detail panel is cut: at twice the scale on a small
    // screen the counts and the picture stay whole, a few rows of each view beside them.
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(folderList),
                                    static_cast<QAbstractItemView*>(levelFileList),
                                    static_cast<QAbstractItemView*>(profileTree)})
        view->setMinimumHeight(2 * view->fontMetrics().lineSpacing() + 2 * view->frameWidth());

    mainSplitter->setStretchFactor(0, 2);
    mainSplitter->setStretchFactor(1, 3);

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
        listSplitter->restoreState(
            settings.value(QStringLiteral("window/listSplitter")).toByteArray()))
        return;
    // The first start: as much of the screen as a comfortable size needs.
    // The title bar's height is left for the window manager's frame.
    const QSize available = screen() ? screen()->availableGeometry().size() : QSize(1024, 768);
    resize(QSize(960, 720)
               .boundedTo(available - QSize(0, 2 * fontMetrics().height()))
               .expandedTo(minimumSizeHint()));
    // The views are empty yet: a row is taken as the font's height and the item's margins.
    const int rowHeight = profileTree->fontMetrics().height() + 8;
    listSplitter->setSizes({rowHeight * kListRows, rowHeight * kListRows});
}

void MainWindow::keepLayout() const {
    if (!makeFolder(settingsFolder()).ok())
        return;
    QSettings settings(windowSettingsPath(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("window/geometry"), saveGeometry());
    settings.setValue(QStringLiteral("window/mainSplitter"), mainSplitter->saveState());
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
    connect(static_cast<LevelFileListView*>(levelFileList), &LevelFileListView::addRequested, this,
            &MainWindow::onAddSelectedLevels);
    connect(levelFileList, &QWidget::customContextMenuRequested, this,
            &MainWindow::showFileContextMenu);
    connect(folderPathEdit, &QLineEdit::returnPressed, this, &MainWindow::onFolderPathEntered);
    // Files and folders that come or go while the window is open show at once.
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this,
            &MainWindow::onWatchedFolderChanged);
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
