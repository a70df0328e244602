// Refresh tick and Save on a shown main window (offscreen platform), each beside
// the floor it is compared with.
#include "app/form1.h"
#include "app/windowkit.h"
#include "i18n/form2.h"
#include "script/composer.h"
#include "script/scriptfile.h"
#include "ui_form1.h"
#include "ui_form2.h"

#include <QApplication>
#include <QDir>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

Form1 *window;

// Text1's settings on a widget of its own.
void configureLikePreview(QPlainTextEdit &edit)
{
    const QPlainTextEdit *text1 = window->ui->Text1;
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
    window->ui->VScroll1->triggerAction(up ? QAbstractSlider::SliderSingleStepAdd
                                           : QAbstractSlider::SliderSingleStepSub);
}

void SteadyTick(benchmark::State &state)
{
    window->Timer1_Timer();
    for (auto _ : state)
        window->Timer1_Timer();
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
    window->Timer1_Timer();
    const QString texts[2] = {window->ui->Text1->toPlainText(),
                              (stepBar(true), window->Timer1_Timer(),
                               window->ui->Text1->toPlainText())};
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

void Save(benchmark::State &state)
{
    window->Timer1_Timer();
    if (!ScriptFile::save(window->previewText()).ok) {
        state.SkipWithError("cannot save in the current directory");
        return;
    }
    for (auto _ : state)
        window->Command2_Click();
}

void SaveFloor(benchmark::State &state)
{
    window->Timer1_Timer();
    const QByteArray bytes = ScriptFile::encode(window->previewText());
    const QString path = QDir::current().absoluteFilePath(ScriptFile::fileName());
    for (auto _ : state) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()
            || !file.commit()) {
            state.SkipWithError("cannot save in the current directory");
            return;
        }
    }
}

} // namespace

BENCHMARK(SteadyTick)->Unit(benchmark::kNanosecond);
BENCHMARK(ComposeFloor)->Unit(benchmark::kNanosecond);
BENCHMARK(ChangedTick)->Unit(benchmark::kNanosecond);
BENCHMARK(SetPlainTextFloor)->Unit(benchmark::kNanosecond);
BENCHMARK(Save)->Unit(benchmark::kNanosecond)->UseRealTime();
BENCHMARK(SaveFloor)->Unit(benchmark::kNanosecond)->UseRealTime();

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
    QTimer accept;
    QObject::connect(&accept, &QTimer::timeout, [&accept] {
        if (auto *d = qobject_cast<Form2 *>(QApplication::activeModalWidget());
            d && d->isVisible()) {
            accept.stop();
            d->ui->Command1->click();
        }
    });
    accept.start(0);
    form.Form_Load();
    form.show();
    QCoreApplication::processEvents();
    form.Timer1->stop();  // ticks run only when a benchmark calls them

    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    QDir::setCurrent(QCoreApplication::applicationDirPath());
    return 0;
}
