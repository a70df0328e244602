// Walks through the program's windows on a real X display and saves a PNG of
// each: the language dialog, the main window in English and in Czech, the
// about box. Usage: quorrel-screenshots OUTDIR [SUFFIX]
#include "about/form3.h"
#include "app/form1.h"
#include "drive.h"
#include "i18n/form2.h"
#include "widgets/windowkit.h"

#include <QApplication>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTimer>
#include <functional>

static QString outDir, suffix;

static void shoot(QWidget *w, const QString &name)
{
    QApplication::processEvents();
    const QRect r = w->frameGeometry();
    const QPixmap px = w->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height());
    const QString file = QDir(outDir).filePath(name + suffix + QStringLiteral(".png"));
    if (!px.save(file))
        qFatal("cannot write %s", qPrintable(file));
}

// Runs `step` on the next modal window of type T once it is on screen.
template <typename T> static void onModal(std::function<void(T *)> step)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, step] {
        if (T *w = qobject_cast<T *>(QApplication::activeModalWidget()); w && w->isVisible()) {
            poll->deleteLater();
            QTimer::singleShot(300, w, [w, step] { step(w); });
        }
    });
    poll->start(50);
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        qFatal("usage: quorrel-screenshots OUTDIR [SUFFIX]");
    outDir = QString::fromLocal8Bit(argv[1]);
    suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    WindowKit::setupApplication();

    Form1 window;
    onModal<Form2>([](Form2 *d) {
        shoot(d, QStringLiteral("language-dialog"));
        click(d, "Command1");
    });
    window.Form_Load();
    window.show();

    QTimer::singleShot(500, &window, [&window] {
        shoot(&window, QStringLiteral("main-english"));
        onModal<Form2>([](Form2 *d) {
            click(d, "Option1");
            click(d, "Command1");
        });
        window.lang_Click();
        QTimer::singleShot(300, &window, [&window] {
            shoot(&window, QStringLiteral("main-czech"));
            onModal<Form3>([](Form3 *a) {
                shoot(a, QStringLiteral("about"));
                a->close();
            });
            window.about_Click();
            QCoreApplication::exit(0);
        });
    });
    return app.exec();
}
