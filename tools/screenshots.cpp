// Walks through the program's windows on a real display and saves a PNG of
// each: the language dialog, the main window in English and in Czech, the
// about box. On Wayland, where a program cannot read the screen, it has
// weston-screenshooter take it (Weston run with --debug) and keeps what differs
// from the plain background of the screen's top left corner.
// Usage: quorrel-screenshots OUTDIR [SUFFIX]
#include "app/mainwindow.h"
#include "drive.h"
#include "widgets/windowkit.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QScreen>
#include <QTimer>

static QString outDir, suffix;

static void shoot(QWidget *w, const QString &name)
{
    QApplication::processEvents();
    QImage px;
    if (QGuiApplication::platformName() == QLatin1String("wayland")) {
        QDir here;
        for (const QString &old : here.entryList({QStringLiteral("wayland-screenshot*.png")}))
            here.remove(old);
        if (QProcess::execute(QStringLiteral("weston-screenshooter"), {}) != 0)
            qFatal("weston-screenshooter failed");
        const QString shot = here.entryList({QStringLiteral("wayland-screenshot*.png")}).value(0);
        const QImage screen(shot);
        here.remove(shot);
        QRect r;
        for (int y = 0; y < screen.height(); ++y)
            for (int x = 0; x < screen.width(); ++x)
                if (screen.pixel(x, y) != screen.pixel(0, 0))
                    r |= QRect(x, y, 1, 1);
        px = screen.copy(r);
    } else {
        const QRect r = w->frameGeometry();
        px = w->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height()).toImage();
    }
    const QString file = QDir(outDir).filePath(name + suffix + QStringLiteral(".png"));
    if (!px.save(file))
        qFatal("cannot write %s", qPrintable(file));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        qFatal("usage: quorrel-screenshots OUTDIR [SUFFIX]");
    outDir = QString::fromLocal8Bit(argv[1]);
    suffix = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QString();
    WindowKit::setupApplication();

    // The modal windows in the order they open: the language dialog at start-up,
    // again from the menu (choosing Czech), and the about box.
    ModalResponder modal;
    modal.stepDelayMs = 300;  // on screen and painted before it is shot
    modal.steps << [](QWidget *d) {
        shoot(d, QStringLiteral("language-dialog"));
        click(d, "Command1");
    } << [](QWidget *d) {
        click(d, "Option1");
        click(d, "Command1");
    } << [](QWidget *a) {
        shoot(a, QStringLiteral("about"));
        a->close();
    };
    modal.onMessage = [](const ModalResponder::Message &m) {
        qFatal("unexpected message: %s", qPrintable(m.text));
    };

    MainWindow window;
    window.startUp();
    window.show();
    QTimer::singleShot(500, &window, [&] {
        shoot(&window, QStringLiteral("main-english"));
        window.chooseLanguage();
        QTimer::singleShot(300, &window, [&] {
            shoot(&window, QStringLiteral("main-czech"));
            window.hide();  // the about box alone on the screen
            window.showAbout();
            if (modal.stepsDone != modal.steps.size())
                qFatal("a window did not open");
            QCoreApplication::exit(0);
        });
    });
    return app.exec();
}
