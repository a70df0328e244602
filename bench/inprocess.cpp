// Refresh ticks and Save on a shown main window (offscreen platform), each beside
// the floor it is compared with.
#include "app/mainwindow.h"
#include "drive.h"
#include "script/composer.h"
#include "script/scriptfile.h"
#include "widgets/scriptpreview.h"
#include "widgets/windowkit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QSaveFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

MainWindow *window;
ScriptPreview *preview;

// Moves the music bar one step, as a click on an arrow does, and ticks.
void stepBar(bool up)
{
    child<QScrollBar>(window, "VScroll1")
        ->triggerAction(up ? QAbstractSlider::SliderSingleStepAdd
                           : QAbstractSlider::SliderSingleStepSub);
    window->refresh();
}

void SteadyTick(benchmark::State &state)
{
    window->refresh();
    for (auto _ : state)
        window->refresh();
}

void ComposeFloor(benchmark::State &state)
{
    ScriptLines lines;
    formSettingLines(window->readSettings(), lines);
    for (auto _ : state)
        benchmark::DoNotOptimize(ComposeScript(lines).constData());
}

void ChangedTick(benchmark::State &state)
{
    window->refresh();
    bool up = false;
    for (auto _ : state) {
        stepBar(up = !up);
        QCoreApplication::processEvents();  // the layout and paint that show it
    }
    if (up)
        stepBar(false);
}

// The preview's texts before and after a bar step, set in turns on an editor
// configured like the preview, with the painting that shows them.
void SetPlainTextFloor(benchmark::State &state)
{
    window->refresh();
    QString texts[2] = {preview->toPlainText()};
    stepBar(true);
    texts[1] = preview->toPlainText();
    stepBar(false);
    QPlainTextEdit edit;
    edit.setFont(preview->font());
    edit.setFixedSize(preview->size());
    edit.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit.setUndoRedoEnabled(false);
    edit.setPlainText(texts[0]);
    edit.show();
    QCoreApplication::processEvents();
    size_t i = 0;
    for (auto _ : state) {
        edit.setPlainText(texts[i ^= 1]);
        QCoreApplication::processEvents();
    }
}

// What a careful writer does: a new file renamed over the old one (QSaveFile), then
// the folder synced so that the rename survives a power loss.
bool floorSave(const QByteArray &bytes)
{
    QSaveFile file(ScriptFile::fileName());
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return false;
    const int folder = open(".", O_RDONLY | O_DIRECTORY);
    const bool synced = folder >= 0 && fsync(folder) == 0;
    if (folder >= 0)
        close(folder);
    return synced;
}

// Each iteration runs one Save and, in turns before or after it, the floor, so that
// both meet the disk alike: the iteration time is the Save's, floor_ns the floor's.
void Save(benchmark::State &state)
{
    window->refresh();
    // The floor's bytes differ from Save's in one, so that each Save finds a
    // file to replace rather than one that holds its text already.
    QByteArray bytes = ScriptFile::encode(preview->script());
    bytes[0] = 'N';
    if (!floorSave(bytes)) {
        state.SkipWithError("cannot save in the current folder");
        return;
    }
    ModalResponder modal;  // closes a failed Save's message box
    QElapsedTimer clock;
    qint64 floorNs = 0;
    bool floorFirst = false;
    for (auto _ : state) {
        floorFirst = !floorFirst;
        for (const bool floor : {floorFirst, !floorFirst}) {
            clock.start();
            if (floor) {
                floorSave(bytes);
                floorNs += clock.nsecsElapsed();
            } else {
                window->save();
                state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
            }
        }
        if (!modal.messages.isEmpty()) {
            state.SkipWithError(qPrintable(modal.messages.first().text));
            break;
        }
    }
    state.counters["floor_ns"] = benchmark::Counter(double(floorNs),
                                                    benchmark::Counter::kAvgIterations);
}

}  // namespace

BENCHMARK(SteadyTick);
BENCHMARK(ComposeFloor);
BENCHMARK(ChangedTick);
BENCHMARK(SetPlainTextFloor);
BENCHMARK(Save)->UseManualTime();

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    WindowKit::setupApplication();
    // Saves go to a folder beside the executable, on disk rather than in memory.
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/save-XXXXXX"));
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        qFatal("cannot create a folder to save in");

    MainWindow form;
    window = &form;
    preview = child<ScriptPreview>(&form, "Text1");
    {
        ModalResponder language;
        language.steps << [](QWidget *d) { click(d, "Command1"); };
        form.startUp();
    }
    form.show();
    QCoreApplication::processEvents();
    child<QTimer>(&form, "Timer1")->stop();  // ticks run only when a benchmark calls them
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
