// The command line as the manual page describes it: every exit status with and
// without a window system, and where Save writes.
#include "app/program.h"
#include "testkit.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QtEndian>
#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

constexpr int Runs = -1;  // still running with its window after a second

#ifdef Q_OS_WIN
constexpr char Answers[] = "commandline-windows.tsv";
#else
constexpr char Answers[] = "commandline.tsv";
#endif

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void exitStatus_data()
    {
        QTest::addColumn<QString>("env");  // besides no DISPLAY, WAYLAND_DISPLAY, QT_QPA_PLATFORM
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        // A folder named in Czech, for $CZECH.
        static const QTemporaryDir root;
        const QString czech = root.filePath(QString::fromUtf8("hra-řš"));
        QVERIFY(QDir().mkpath(czech));
        for (const QStringList &r : goldenRows(Answers))
            QTest::addRow("%s, %s", qPrintable(r[0]), r[1] == "-" ? "no display" : qPrintable(r[1]))
                << (r[1] == "-" ? QString() : r[1])
                << r[2].split(' ', Qt::SkipEmptyParts)
                       .replaceInStrings("$EXE", QUORREL_EXE)
                       .replaceInStrings("$CZECH", czech)
                << (r[3] == "running" ? Runs : r[3].toInt()) << QString(r[4]).replace("\\n", "\n");
    }
    void exitStatus()
    {
        QFETCH(QString, env);
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, output);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(name);
        const QTemporaryDir runtime;  // a session's private folder, as a desktop gives one
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        if (!env.isEmpty())
            environment.insert(env.section('=', 0, 0), env.section('=', 1));
        program.setProcessEnvironment(environment);
        program.start(QUORREL_EXE, args);
        const bool ended = program.waitForFinished(status == Runs ? 1000 : 10000);
        if (!ended)
            program.kill();
        program.waitForFinished();
        QStringList lines =
            QString(program.readAllStandardOutput() + program.readAllStandardError()).split('\n');
        lines.removeIf(isOffscreenNotice);
        const QString said = lines.join('\n');
        QVERIFY2(said.count("quorrel-setup: ") <= 1, qPrintable(said));  // one report
        QVERIFY2(output.isEmpty() ? said.isEmpty() : said.contains(output), qPrintable(said));
        QCOMPARE(ended ? program.exitCode() : Runs, status);
        QCOMPARE(program.exitStatus(), ended ? QProcess::NormalExit : QProcess::CrashExit);
    }

#ifndef Q_OS_WIN  // POSIX file calls; Windows' own save test covers these there
    // The program started as main() starts it, on the offscreen platform: Save
    // writes into GAME_DIR, named by its own bytes, however Qt-like its name.
    void saveIntoGameDir_data()
    {
        QTest::addColumn<QByteArray>("dir");
        QTest::addColumn<QByteArray>("option");
        QTest::newRow("after --") << QByteArray("-qwindowtitle") << QByteArray("--");
        QTest::newRow("not UTF-8") << QByteArray("game\xff") << QByteArray("-reverse");
    }
    void saveIntoGameDir()
    {
        QFETCH(QByteArray, dir);
        QFETCH(QByteArray, option);
        QTemporaryDir root;
        QVERIFY(::chdir(QFile::encodeName(root.path())) == 0 && ::mkdir(dir, 0700) == 0);
        const QString lossy = QString::fromLocal8Bit(dir);  // the name as a QString spells it
        QVERIFY(QFile::encodeName(lossy) == dir || QDir().mkdir(lossy));
        QByteArray args[] = {"quorrel-setup", "-platform", "offscreen", option, dir};
        char *argv[] = {args[0].data(), args[1].data(), args[2].data(),
                        args[3].data(), args[4].data(), nullptr};
        const int status = runProgram(5, argv, [](MainWindow &window) {
            auto *modal = new ModalResponder;  // also answers a message, should Save fail
            modal->setParent(&window);
            modal->steps << [](QWidget *dialog) { click(dialog, "Command1"); };
            auto *save = new QTimer(&window);
            connect(save, &QTimer::timeout, &window, [&window] {
                if (window.isVisible() && !QApplication::activeModalWidget()) {
                    click(&window, "Command2");
                    window.close();
                }
            });
            save->start(10);
        });
        QCOMPARE(status, 0);
        QVERIFY(::chdir(QFile::encodeName(root.path())) == 0 && !QFile::exists("autoexec.cfg"));
        QVERIFY(QFile::encodeName(lossy) == dir || !QFile::exists(lossy + "/autoexec.cfg"));
        QVERIFY(::chdir(dir) == 0);  // not through QString
        QFile saved("autoexec.cfg");
        QVERIFY(saved.open(QIODevice::ReadOnly) && saved.readAll().startsWith("name \"...\"\r\n"));
        QVERIFY(::unlink("autoexec.cfg") == 0 && ::chdir("..") == 0 && ::rmdir(dir) == 0);
    }

    // A save in place that a crash ended after the new text was written: the
    // next start puts the old bytes back from the journal, before the window
    // shows, and says so in the chosen language.
    void startPutsBackAHalfDoneSave()
    {
        QTemporaryDir game;
        const QByteArray old = "old text\r\n",
                         file = QFile::encodeName(game.filePath("autoexec.cfg"));
        QFile cfg(game.filePath("autoexec.cfg")),
            journal(game.filePath(".autoexec.cfg.quorrel-journal"));
        struct stat st {};
        QVERIFY(cfg.open(QIODevice::WriteOnly) && cfg.write("name \"new\"\r\n") > 0 && cfg.flush()
                && ::stat(file, &st) == 0);
        cfg.close();
        // Its header: a tag, the old length, mode, device and file number, little-endian.
        QByteArray head = "QRLJRNL1" + QByteArray(32, '\0');
        qToLittleEndian<qint64>(old.size(), head.data() + 8);
        qToLittleEndian<quint32>(st.st_mode & 07777, head.data() + 16);
        qToLittleEndian<quint64>(st.st_dev, head.data() + 24);
        qToLittleEndian<quint64>(st.st_ino, head.data() + 32);
        QVERIFY(journal.open(QIODevice::WriteOnly)
                && journal.write(head + old
                                 + QCryptographicHash::hash(head + old, QCryptographicHash::Sha1))
                    == 70);
        journal.close();
        QByteArray args[] = {"quorrel-setup", "-platform", "offscreen",
                             QFile::encodeName(game.path())};
        char *argv[] = {args[0].data(), args[1].data(), args[2].data(), args[3].data(), nullptr};
        ModalResponder *modal = nullptr;
        QList<ModalResponder::Message> said;
        const int status = runProgram(4, argv, [&](MainWindow &window) {
            modal = new ModalResponder;
            modal->setParent(&window);
            modal->onMessage = [&](const ModalResponder::Message &m) { said << m; };
            modal->steps << [](QWidget *dialog) {
                click(dialog, "Option1");  // Czech
                click(dialog, "Command1");
            };
            auto *close = new QTimer(&window);
            connect(close, &QTimer::timeout, &window, [&window] {
                if (window.isVisible() && !QApplication::activeModalWidget())
                    window.close();
            });
            close->start(10);
        });
        QCOMPARE(status, 0);
        QCOMPARE(said.size(), 1);
        QCOMPARE(said[0].title + ": " + said[0].text,
                 goldenMessage("recoveredPutBack", 1).arg(QFile::decodeName(file)));
        QVERIFY(cfg.open(QIODevice::ReadOnly) && cfg.readAll() == old && !journal.exists());
    }
#endif
};

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
