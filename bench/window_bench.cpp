// The window: start-up to the first paint on a demo prefix, and each editing command on the
// largest profile through its button's handler, with the tree view following it (all branches
// open, so that the view has every row to keep in step) and painted again.
#include "database/database_writer.h"
#include "edit_command.h"
#include "host/file_write.h"
#include "max_tree.h"
#include "profiles/profile_store.h"
#include "scripted_user_interface.h"
#include "window/folder_list.h"
#include "window/level_tree_model.h"
#include "window/main_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeView>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>

namespace {

using namespace quillfen;
using bench::Command;

// The benchmarks open no file chooser.
FileChoosers desktopChoosers;

using Answers = ScriptedUserInterface;

// A demo prefix whose profiles Alice and Bob hold the largest tree and one node less, and a
// working folder whose settings file opens the demo level files.
struct Bench {
    std::filesystem::path root;
    std::string prefix;
    std::string levels;

    Bench() {
        root = std::filesystem::temp_directory_path() / "quillfen-window-bench";
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "work");
        prefix = (root / "prefix").string();
        levels = prefix + "/drive_c/LEMM/LEVELS";
        if (QProcess::execute(QStringLiteral(QUILLFEN_CLI),
                              {"demo-prefix", QString::fromStdString(prefix)}) != 0)
            qFatal("quillfen-cli demo-prefix failed");
        std::ofstream(root / "work" / "profile.txt", std::ios::binary)
            << "c:\\LEMM\\LEVELS\r\nSOFTWARE\\Visual Sciences\\Windows Lemmings\\Users\r\n";
        QDir::setCurrent(QString::fromStdString((root / "work").string()));
    }
    ~Bench() { std::filesystem::remove_all(root); }

    void useLargestTrees() {
        LevelTree full = bench::makeMaxTree();
        (void)writeFile(prefix + "/drive_c/LEMM/USERS/ALICE.DAT", encodeDatabase(full));
        full.remove(full.item(full.count()));
        (void)writeFile(prefix + "/drive_c/LEMM/USERS/BOB.DAT", encodeDatabase(full));
    }
};

Bench& bench() {
    static Bench instance;
    return instance;
}

// Counts paints of one widget.
class PaintFlag : public QObject {
public:
    bool painted = false;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        painted |= event->type() == QEvent::Paint;
        return false;
    }
};

void BM_StartupToFirstPaint(benchmark::State& state) {
    Bench& b = bench();
    WinePrefixStore store(b.prefix);
    for (auto _ : state) {
        Answers ui;
        auto form = std::make_unique<MainWindow>(store, ui, desktopChoosers);
        PaintFlag flag;
        // The status line, made last, is painted last.
        form->findChild<QWidget*>(QStringLiteral("statusLabel"))->installEventFilter(&flag);
        form->start();
        form->show();
        while (!flag.painted)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.PauseTiming();
        form.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartupToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(30);

// A folder of 10,000 level files opened in the folder list: scanned, listed and painted.
void BM_ListTenThousandFiles(benchmark::State& state) {
    Bench& b = bench();
    const std::filesystem::path many = b.root / "many";
    const std::filesystem::path none = b.root / "none";
    std::filesystem::create_directories(many);
    std::filesystem::create_directories(none);
    for (int i = 0; i < 10000; ++i)
        std::ofstream(many / ("level" + std::to_string(i) + ".lvl"));
    WinePrefixStore store(b.prefix);
    Answers ui;
    MainWindow form(store, ui, desktopChoosers);
    form.start();
    form.show();
    auto* folders = form.findChild<FolderList*>(QStringLiteral("folderList"));
    auto* files = form.findChild<QListWidget*>(QStringLiteral("levelFileList"));
    for (auto _ : state) {
        state.PauseTiming();
        folders->setPath(QString::fromStdString(none.string()));
        QCoreApplication::processEvents();
        state.ResumeTiming();
        folders->setPath(QString::fromStdString(many.string()));
        files->repaint();
    }
    if (files->count() != 10000)
        state.SkipWithError("the list does not hold the 10,000 files");
}
BENCHMARK(BM_ListTenThousandFiles)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_EditCommandsView(benchmark::State& state, Command command) {
    Bench& b = bench();
    b.useLargestTrees();
    WinePrefixStore store(b.prefix);
    Answers ui;
    MainWindow form(store, ui, desktopChoosers);
    form.start();
    form.show();
    auto* tree = form.findChild<QTreeView*>(QStringLiteral("profileTree"));
    auto* model = static_cast<LevelTreeModel*>(tree->model());
    auto* files = form.findChild<QListWidget*>(QStringLiteral("levelFileList"));
    const bool adds = bench::addsNodes(command);
    form.findChild<QComboBox*>(QStringLiteral("profileBox"))
        ->setEditText(adds ? QStringLiteral("Bob") : QStringLiteral("Alice"));

    for (auto _ : state) {
        state.PauseTiming();
        form.onLoadProfile();
        tree->expandAll();
        tree->setCurrentIndex(model->indexOf(bench::targetOf(form.state().tree, command)));
        files->setCurrentRow(0);
        ui.messages.clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();

        switch (command) {
        case Command::DeleteFirstGroup:
            form.onDeleteGroup();
            break;
        case Command::DeleteFirstSet:
            form.onDeleteSet();
            break;
        case Command::DeleteFirstLevel:
            form.onDeleteLevel();
            break;
        case Command::MoveUp:
            form.onMoveUp();
            break;
        case Command::MoveDown:
            form.onMoveDown();
            break;
        case Command::AddGroup:
            form.onAddGroup();
            break;
        case Command::AddSet:
            form.onAddSet();
            break;
        case Command::AddSelectedLevel:
            form.onAddSelectedLevels();
            break;
        case Command::UpdateFolder:
            form.onUpdateFolder();
            break;
        case Command::UpdateFileName:
            form.onUpdateFileName();
            break;
        case Command::Rename:
            model->setData(tree->currentIndex(), QStringLiteral("RENAMED SET"));
            break;
        case Command::TreeClick:
            form.onNodeClicked();
            break;
        }
        // The view lays its rows out and paints them.
        tree->viewport()->repaint();
        QCoreApplication::processEvents();
    }
    if (ui.messages.size() > 1 || (!ui.messages.empty() && command != Command::AddSelectedLevel))
        state.SkipWithError(ui.messages.back().c_str());
}

#define VIEW_COMMAND(name, command)                                                                \
    BENCHMARK_CAPTURE(BM_EditCommandsView, name, Command::command)                                 \
        ->Iterations(40)                                                                           \
        ->Unit(benchmark::kMicrosecond)

VIEW_COMMAND(delete_first_group, DeleteFirstGroup);
VIEW_COMMAND(delete_first_set, DeleteFirstSet);
VIEW_COMMAND(delete_first_level, DeleteFirstLevel);
VIEW_COMMAND(move_up, MoveUp);
VIEW_COMMAND(move_down, MoveDown);
VIEW_COMMAND(add_group, AddGroup);
VIEW_COMMAND(add_set, AddSet);
VIEW_COMMAND(add_selected_level, AddSelectedLevel);
VIEW_COMMAND(rename, Rename);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The settings the window keeps go to a folder of the run's own, never the user's.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
