#include "window/form1.h"

#include "editing/editing_commands.h"
#include "levelfile/level_file.h"
#include "levelfile/level_folder.h"
#include "profiles/profile_commands.h"
#include "window/folder_list.h"
#include "window/level_tree_model.h"
#include "window/settings_file.h"

#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>
#include <filesystem>
#include <system_error>

namespace quillfen {
namespace {

constexpr char kCaption[] = "Quillfen Level Adder - www.quillfen.example (v4)";
constexpr char kDisclaimerTitle[] = "disclaimer - by clicking 'yes' you agree";
constexpr char kDisclaimer[] =
    "This program is given as it is, without any warranty of any kind, express or implied, as to "
    "its function, its safety or its stability, including any warranty of merchantability or of "
    "fitness for a particular purpose. Its author accepts no liability of any kind for any use "
    "of it or for anything that follows from such use.\r"
    "You may pass this program on freely, as long as the readme.html file goes with it.";
constexpr char kSettingsNotWritten[] = "ERROR: cannot write the settings file: ";

bool fileExists(const char* path) {
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

} // namespace

Form1::Form1(ProfileStore& store, UserInterface& ui, DisclaimerBox& disclaimer, QWidget* parent)
    : QMainWindow(parent), store_(store), ui_(ui), disclaimer_(disclaimer) {
    setWindowTitle(QString::fromLatin1(kCaption));
    createMenus();
    createControls();
    connectControls();
}

Form1::~Form1() {
    // The model watches the tree, which goes before the window's child objects do.
    TreeView1->setModel(nullptr);
    delete model_;
}

void Form1::connectControls() {
    auto onClick = [this](QPushButton* button, void (Form1::*handler)()) {
        connect(button, &QPushButton::clicked, this, handler);
    };
    onClick(Command4, &Form1::Command4_Click);
    onClick(Command9, &Form1::Command9_Click);
    onClick(Command8, &Form1::Command8_Click);
    onClick(Command7, &Form1::Command7_Click);
    onClick(Command2, &Form1::Command2_Click);
    onClick(Command1, &Form1::Command1_Click);
    onClick(Command3, &Form1::Command3_Click);
    onClick(CommandDelG, &Form1::CommandDelG_Click);
    onClick(Command5, &Form1::Command5_Click);
    onClick(Command6, &Form1::Command6_Click);
    onClick(Command12, &Form1::Command12_Click);
    onClick(Command13, &Form1::Command13_Click);
    onClick(Command10, &Form1::Command10_Click);
    onClick(Command11, &Form1::Command11_Click);
    connect(Dir2, &FolderList::pathChanged, this, &Form1::Dir2_Change);
    connect(lemmstartup, &QAction::triggered, this, &Form1::lemmstartup_Click);
    connect(lemmkey, &QAction::triggered, this, &Form1::lemmkey_Click);
    connect(he, &QAction::triggered, this, &Form1::he_Click);

    connect(TreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { selectionChanged(current); });
    connect(TreeView1, &QTreeView::clicked, this, [this](const QModelIndex& index) {
        // A click that changed the selection was told by currentChanged already.
        if (index == currentAtPress_)
            selectionChanged(index);
    });
    model_->setRenameRequest([this](const LevelTreeNode* node, const QString& text) {
        return TreeView1_AfterLabelEdit(node, text);
    });

    // The tree's keys act only while the tree has the focus: elsewhere Delete edits a text and
    // Alt+Down opens the profile box's list.
    new QShortcut(QKeySequence::Delete, TreeView1, this, &Form1::deleteSelected,
                  Qt::WidgetShortcut);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Up), TreeView1, this, &Form1::Command12_Click,
                  Qt::WidgetShortcut);
    new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Down), TreeView1, this, &Form1::Command13_Click,
                  Qt::WidgetShortcut);
    new QShortcut(QKeySequence::Save, this, this, &Form1::Command9_Click);
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == central_ && event->type() == QEvent::Resize)
        layoutControls();
    else if (watched == TreeView1->viewport() && event->type() == QEvent::MouseButtonPress)
        currentAtPress_ = TreeView1->currentIndex();
    return QMainWindow::eventFilter(watched, event);
}

// Start-up, in the order of the game's editor.
bool Form1::Form_Load() {
    if (!disclaimer_.agree(kDisclaimer, kDisclaimerTitle))
        return false;

    listLevelFiles(QString::fromStdString(store_.hostPath("c:\\")));

    // A folder that cannot be written leaves the defaults to serve; the tool works without it.
    if (!fileExists(settings::kFileName))
        (void)settings::writeSettings(settings::kFileName, settings::Settings{});
    settings::Settings startup = settings::readSettings(settings::kFileName);
    Dir2->setPath(
        QString::fromStdString(settings::startupFolderPath(startup.startupFolder, store_)));
    state_.usersKeyPath = startup.usersKeyPath;

    ProgressBar1->setRange(0, 1);
    ProgressBar1->setValue(0);

    fillProfiles(/*selectFirst=*/true);
    return true;
}

void Form1::fillProfiles(bool selectFirst) {
    Combo1->clear();
    for (const std::string& name : LoadProfiles(store_, state_.usersKeyPath, ui_))
        Combo1->addItem(toQt(name));
    Combo1->setCurrentIndex(selectFirst && Combo1->count() > 0 ? 0 : -1);
    if (Combo1->currentIndex() < 0)
        Combo1->clearEditText();
}

void Form1::setProgress(double value, double maximum) {
    // The bar repaints itself at once whenever the change shows; nothing else runs meanwhile.
    ProgressBar1->setMaximum(static_cast<int>(maximum));
    ProgressBar1->setValue(static_cast<int>(value));
}

void Form1::Command4_Click() {
    Command4->setEnabled(false);
    Command4->repaint();
    TextAnswer profile = fromQt(Combo1->currentText());
    if (!profile.storable) {
        ui_.message(kUnstorableText);
    } else {
        runEdit([&] {
            LoadProfile(state_, store_, profile.text, ui_,
                        [this](double value, double maximum) { setProgress(value, maximum); });
            // A load is no addition to show.
            model_->takeLastInserted();
        });
    }
    Command4->setEnabled(true);
}

void Form1::Command9_Click() {
    TextAnswer profile = fromQt(Combo1->currentText());
    if (!profile.storable) {
        ui_.message(kUnstorableText);
        return;
    }
    SaveProfileData(state_, store_, profile.text, ui_,
                    [this](double value, double maximum) { setProgress(value, maximum); });
}

int Form1::listLevelFiles(const QString& folder) {
    const std::vector<std::string> names = levelfile::scanLevelFiles(folder.toStdString());
    Dir1->clear();
    for (const std::string& name : names)
        Dir1->addItem(QString::fromStdString(name));
    return static_cast<int>(names.size());
}

void Form1::Dir2_Change() {
    int count = listLevelFiles(Dir2->path());
    countLabel->setText(QString::number(count) + QStringLiteral(" levels found"));
}

void Form1::Command8_Click() {
    if (!profileLoaded(state_)) {
        ui_.message(kLoadFirst);
        return;
    }
    const LevelTreeNode* node = state_.tree.selected();
    if (node == nullptr) {
        ui_.message("you must first select a node");
        return;
    }
    ui_.message(node->text() + " " + std::to_string(node->index()) + " " + node->key() + " - " +
                std::to_string(state_.tree.count()));
}

std::string Form1::folderForCore() const {
    return Dir2->path().toStdString();
}

void Form1::selectionChanged(const QModelIndex& current) {
    if (followingCore_)
        return;
    state_.tree.select(model_->node(current));
    TreeView1_Click();
}

void Form1::TreeView1_Click() {
    std::array<QLineEdit*, 9> boxes{numlemm};
    std::copy(action.begin(), action.end(), boxes.begin() + 1);

    DetailPanel panel;
    panel.text1 = fromQt(Text1->text()).text;
    panel.text2 = fromQt(Text2->text()).text;
    for (std::size_t i = 0; i < boxes.size(); ++i)
        panel.counts[i] = fromQt(boxes[i]->text()).text;
    const DetailPanel before = panel;

    quillfen::TreeView1_Click(state_, folderForCore(), panel);

    // Only what the click changed is written back, so that a box the click leaves alone keeps
    // exactly what the user typed.
    auto show = [](QLineEdit* box, const std::string& now, const std::string& was) {
        if (now != was)
            box->setText(toQt(now));
    };
    show(Text1, panel.text1, before.text1);
    show(Text2, panel.text2, before.text2);
    for (std::size_t i = 0; i < boxes.size(); ++i)
        show(boxes[i], panel.counts[i], before.counts[i]);
}

void Form1::Command7_Click() {
    TextAnswer file = fromQt(Text2->text());
    if (!file.storable) {
        ui_.message(kUnstorableText);
        return;
    }
    std::array<std::string, levelfile::kCountsCount> counts;
    counts[0] = fromQt(numlemm->text()).text;
    for (std::size_t i = 0; i < action.size(); ++i)
        counts[i + 1] = fromQt(action[i]->text()).text;
    levelfile::SaveLevelInfo(levelfile::levelFilePath(folderForCore(), file.text), counts, ui_);
}

template <class Command> void Form1::runEdit(Command command) {
    // While the core changes the tree, the view's own reactions (a removed row moving the
    // current index) must not reach the core as clicks.
    followingCore_ = true;
    // Without a current row the view need not find a new one while rows go; it takes the
    // core's selection once the command is done. The row stays highlighted meanwhile.
    TreeView1->selectionModel()->clearCurrentIndex();
    command();
    QModelIndex added = model_->takeLastInserted();
    if (added.isValid()) {
        TreeView1->expand(added.parent());
        TreeView1->scrollTo(added);
    }
    showCoreSelection();
    followingCore_ = false;
}

void Form1::showCoreSelection() {
    QModelIndex selected = model_->indexOf(state_.tree.selected());
    if (selected.isValid())
        TreeView1->selectionModel()->setCurrentIndex(selected, QItemSelectionModel::ClearAndSelect);
    else
        TreeView1->selectionModel()->clear();
}

void Form1::Command2_Click() {
    runEdit([this] { addGroup(state_, ui_); });
}

void Form1::Command1_Click() {
    runEdit([this] { addSet(state_, ui_); });
}

LevelFileList Form1::levelFileList(bool& storable) const {
    LevelFileList files;
    files.folder = folderForCore();
    files.current = Dir1->currentRow();
    storable = true;
    for (int row = 0; row < Dir1->count(); ++row) {
        const QListWidgetItem* item = Dir1->item(row);
        TextAnswer name = fromQt(item->text());
        files.names.push_back(name.text);
        files.selected.push_back(item->isSelected());
        if (item->isSelected() && !name.storable)
            storable = false;
    }
    return files;
}

void Form1::Command3_Click() {
    bool storable = true;
    LevelFileList files = levelFileList(storable);
    if (!storable) {
        // The level's record could not hold the file's name.
        ui_.message(kUnstorableText);
        return;
    }
    runEdit([&] { addSelectedLevels(state_, ui_, files); });
}

void Form1::CommandDelG_Click() {
    runEdit([this] { deleteGroup(state_, ui_); });
}

void Form1::Command5_Click() {
    runEdit([this] { deleteSet(state_, ui_); });
}

void Form1::Command6_Click() {
    runEdit([this] { deleteLevel(state_, ui_); });
}

void Form1::Command12_Click() {
    runEdit([this] { moveUp(state_, ui_); });
}

void Form1::Command13_Click() {
    runEdit([this] { moveDown(state_, ui_); });
}

void Form1::Command10_Click() {
    updateFolder(state_, ui_, fromQt(Text1->text()));
}

void Form1::Command11_Click() {
    updateFileName(state_, ui_, fromQt(Text2->text()));
}

bool Form1::TreeView1_AfterLabelEdit(const LevelTreeNode* node, const QString& text) {
    return renameNode(state_, ui_, node, fromQt(text));
}

void Form1::deleteSelected() {
    const LevelTreeNode* node = state_.tree.selected();
    if (node && node->kind() == NodeKind::Group)
        CommandDelG_Click();
    else if (node && node->kind() == NodeKind::Set)
        Command5_Click();
    else
        Command6_Click();
}

void Form1::lemmstartup_Click() {
    TextAnswer folder = fromQt(Dir2->path());
    if (!folder.storable) {
        ui_.message(kUnstorableText);
        return;
    }
    Status written =
        settings::writeSettings(settings::kFileName, {folder.text, state_.usersKeyPath});
    if (!written) {
        ui_.message(kSettingsNotWritten + written.error());
        return;
    }
    ui_.message("Startup folder has been set to '" + folder.text + "'");
}

void Form1::lemmkey_Click() {
    TextAnswer key =
        ui_.input("enter the path to the lemmings profiles under the HKEY_LOCAL_MACHINE key", "key",
                  state_.usersKeyPath);
    if (key.text.empty())
        return;
    if (!key.storable) {
        ui_.message(kUnstorableText);
        return;
    }
    state_.usersKeyPath = key.text;
    fillProfiles(/*selectFirst=*/false);

    // A settings file gone missing meanwhile gives the default folder as its line 1.
    settings::Settings stored = settings::readSettings(settings::kFileName);
    stored.usersKeyPath = key.text;
    Status written = settings::writeSettings(settings::kFileName, stored);
    if (!written)
        ui_.message(kSettingsNotWritten + written.error());
}

void Form1::he_Click() {
    ui_.message("please read the included  readme.html  file if you need help");
}

} // namespace quillfen
