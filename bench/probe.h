#pragma once

// Start-up probe: prints "shown <µs since the epoch>" once the main window is exposed
// and painted; with QUORREL_BENCH_QUIT_MS set, the program quits that long after.

#include <QApplication>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>

// Returns once `w` is on screen and painted: a person sees a dialog before answering it.
inline void waitPainted(QWidget *w)
{
    while (!w->windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

class StartupProbe : public QObject {
    QWidget *m_main;

public:
    explicit StartupProbe(QWidget *mainWindow) : m_main(mainWindow)
    {
        qApp->installEventFilter(this);
    }

    bool eventFilter(QObject *o, QEvent *e) override
    {
        auto *w = qobject_cast<QWindow *>(o);
        if (e->type() != QEvent::Expose || !w || w != m_main->windowHandle() || !w->isExposed())
            return false;
        static_cast<QObject *>(w)->event(e);  // paints the first frame
        using namespace std::chrono;
        const auto us = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
        std::printf("shown %lld\n", static_cast<long long>(us));
        std::fflush(stdout);
        qApp->removeEventFilter(this);  // costs nothing from here on
        if (const QByteArray ms = qgetenv("QUORREL_BENCH_QUIT_MS"); !ms.isNull())
            QTimer::singleShot(ms.toInt(), qApp, &QCoreApplication::quit);
        return true;
    }
};
