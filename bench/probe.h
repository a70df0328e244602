#pragma once

// Start-up probe of the process benchmarks. Accepts the first modal dialog as soon
// as it is on screen, then prints "shown <microseconds since the epoch>" once the
// main window has been exposed and painted. Given a number of milliseconds as the
// only argument the program quits that long after; without one it runs until killed.

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <functional>

class StartupProbe : public QObject {
public:
    StartupProbe(QWidget *mainWindow, std::function<void(QDialog *)> accept)
        : m_main(mainWindow), m_accept(std::move(accept))
    {
        const QStringList args = QCoreApplication::arguments();
        bool ok = false;
        m_stayMs = args.size() > 1 ? args[1].toInt(&ok) : -1;
        if (!ok)
            m_stayMs = -1;
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() != QEvent::Expose)
            return false;
        auto *w = qobject_cast<QWindow *>(o);
        if (!w || !w->isExposed())
            return false;
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        const bool isMain = w == m_main->windowHandle();
        const bool isDialog = !m_accepted && dialog && w == dialog->windowHandle();
        if (!isMain && !isDialog)
            return false;
        static_cast<QObject *>(w)->event(e);  // paints the first frame
        if (isDialog) {
            m_accepted = true;
            QMetaObject::invokeMethod(dialog, [this, dialog] { m_accept(dialog); },
                                      Qt::QueuedConnection);
            return true;
        }
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("shown %lld\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
        std::fflush(stdout);
        qApp->removeEventFilter(this);  // costs nothing from here on
        if (m_stayMs >= 0)
            QTimer::singleShot(m_stayMs, qApp, &QCoreApplication::quit);
        return true;
    }

private:
    QWidget *m_main;
    std::function<void(QDialog *)> m_accept;
    int m_stayMs = -1;
    bool m_accepted = false;
};
