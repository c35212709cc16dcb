// What a user typing into an option field waits for at 32,767 rows: from the
// key to the target list's model holding the new names, in the real main
// window (offscreen Qt), with the preview following each keystroke.
#include <benchmark/benchmark.h>

#include "statistics.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include "bench_support.h"
#include "ui/file_list_view.h"
#include "ui/main_window.h"
#include "ui/qt_ui.h"

namespace {

constexpr int kFiles = 32767;

// Types one character (or erases it) and waits until the first row of the
// target list shows another name. Gives up after a second, which no pass
// comes near: the benchmark then reports an error rather than hang.
bool TypeAndWait(QLineEdit* field, QAbstractItemModel* targets, Qt::Key key) {
    const QString before = targets->index(0, 0).data().toString();
    QTest::keyClick(field, key);
    QElapsedTimer waited;
    waited.start();
    while (targets->index(0, 0).data().toString() == before) {
        if (waited.elapsed() > 1000) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents);
    }
    return true;
}

void Window_KeystrokeToPreview(benchmark::State& state) {
    const kestrel::bench::FileFolder folder(kFiles);
    kestrel::ui::QtUi ui;
    kestrel::bench::FolderWorkspace place(folder.Root(), ui);
    kestrel::app::Workspace& workspace = place.Get();
    workspace.preferences.previewWhileTyping = 1;
    workspace.options.chkInsertStart = 1;
    workspace.options.txtInsertStart = "a";
    kestrel::ui::MainWindow window(workspace, ui, kestrel::ui::MainWindow::Hooks{});
    window.resize(1024, 768);
    window.show();
    window.RefreshForced();
    QApplication::processEvents();

    auto* field = window.findChild<QLineEdit*>(QStringLiteral("txtInsertStart"));
    QAbstractItemModel* targets = window.TargetList()->model();
    field->setFocus(Qt::OtherFocusReason);
    field->end(false);
    bool typed = true;
    bool added = false;
    // One keystroke an iteration: "b" typed, then erased.
    for (auto _ : state) {
        added = !added;
        typed = typed && TypeAndWait(field, targets, added ? Qt::Key_B : Qt::Key_Backspace);
    }
    if (!typed) {
        state.SkipWithError("the target list did not follow the keys");
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(Window_KeystrokeToPreview)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Window/KeystrokeToPreview")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
