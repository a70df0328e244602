// Refresh tick and Save on a shown main window (offscreen platform), each beside
// the floor it is compared with.
#include "app/form1.h"
#include "drive.h"
#include "script/composer.h"
#include "script/scriptfile.h"
#include "widgets/scriptpreview.h"
#include "widgets/windowkit.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>

namespace {

Form1 *window;

ScriptPreview *preview()
{
    return child<ScriptPreview>(window, "Text1");
}

// Text1's settings on a widget of its own.
void configureLikePreview(QPlainTextEdit &edit)
{
    const QPlainTextEdit *text1 = preview();
    edit.setFont(text1->font());
    edit.setFixedSize(text1->size());
    edit.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit.setUndoRedoEnabled(false);
    edit.setTabChangesFocus(true);
}

// Moves the music bar one step up or down, as a click on an arrow does.
void stepBar(bool up)
{
    child<QScrollBar>(window, "VScroll1")->triggerAction(up ? QAbstractSlider::SliderSingleStepAdd
                                           : QAbstractSlider::SliderSingleStepSub);
}

void SteadyTick(benchmark::State &state)
{
    window->Timer1_Timer();
    // Such a tick must neither edit nor lay out the preview.
    QTextDocument *document = preview()->document();
    int touched = 0;
    const auto count = [&touched] { ++touched; };
    const QMetaObject::Connection edits =
        QObject::connect(document, &QTextDocument::contentsChange, count);
    const QMetaObject::Connection layouts =
        QObject::connect(document->documentLayout(), &QAbstractTextDocumentLayout::update, count);
    for (auto _ : state)
        window->Timer1_Timer();
    QObject::disconnect(edits);
    QObject::disconnect(layouts);
    if (touched)
        state.SkipWithError("a tick with nothing changed touched the preview");
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
    window->Timer1_Timer();
    bool up = true;
    for (auto _ : state) {
        stepBar(up);
        window->Timer1_Timer();
        QCoreApplication::processEvents();  // the layout and paint that show it
        up = !up;
    }
    if (!up) {
        stepBar(false);
        window->Timer1_Timer();
    }
}

void SetPlainTextFloor(benchmark::State &state)
{
    // The preview's text before and after one bar step.
    QString texts[2];
    window->Timer1_Timer();
    texts[0] = preview()->toPlainText();
    stepBar(true);
    window->Timer1_Timer();
    texts[1] = preview()->toPlainText();
    stepBar(false);
    window->Timer1_Timer();

    QPlainTextEdit edit;
    configureLikePreview(edit);
    edit.setPlainText(texts[0]);
    edit.show();
    QCoreApplication::processEvents();
    size_t i = 0;
    for (auto _ : state) {
        i ^= 1;
        edit.setPlainText(texts[i]);
        QCoreApplication::processEvents();
    }
}

// Each iteration does one Save and, in turns before or after it, the floor: a plain
// QSaveFile write of the same bytes. Both meet the same disk; the iteration time is
// the Save's, the counter floor_ns the floor's.
void Save(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    window->Timer1_Timer();
    QByteArray bytes;
    ScriptFile::encode(preview()->script(), &bytes);
    const QString path = QDir::current().absoluteFilePath(ScriptFile::fileName());
    const auto floorSave = [&] {
        QSaveFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
            && file.commit();
    };
    if (!ScriptFile::save(preview()->script()).ok || !floorSave()) {
        state.SkipWithError("cannot save in the current directory");
        return;
    }
    // A failed Save shows a message box; close it rather than wait for a click.
    bool failed = false;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&failed] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            failed = true;
            box->done(0);
        }
    });
    watchdog.start(100);
    Clock::duration floorTime{};
    bool floorFirst = false;
    for (auto _ : state) {
        if (failed) {
            state.SkipWithError("Save failed");
            break;
        }
        floorFirst = !floorFirst;
        for (const bool floor : {floorFirst, !floorFirst}) {
            const Clock::time_point start = Clock::now();
            if (floor) {
                floorSave();
                floorTime += Clock::now() - start;
            } else {
                window->Command2_Click();
                state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
            }
        }
    }
    state.counters["floor_ns"] = benchmark::Counter(
        double(std::chrono::duration_cast<std::chrono::nanoseconds>(floorTime).count()),
        benchmark::Counter::kAvgIterations);
}

} // namespace

BENCHMARK(SteadyTick)->Unit(benchmark::kNanosecond);
BENCHMARK(ComposeFloor)->Unit(benchmark::kNanosecond);
BENCHMARK(ChangedTick)->Unit(benchmark::kNanosecond);
BENCHMARK(SetPlainTextFloor)->Unit(benchmark::kNanosecond);
BENCHMARK(Save)->Unit(benchmark::kNanosecond)->UseManualTime();

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

    Form1 form;
    window = &form;
    {
        ModalResponder language;
        language.steps << [](QWidget *d) { click(d, "Command1"); };
        form.Form_Load();
    }
    form.show();
    QCoreApplication::processEvents();
    child<QTimer>(&form, "Timer1")->stop();  // ticks run only when a benchmark calls them

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    return 0;
}
