// The command line: answers that need no window, and GAME_DIR.
#include "app/commandline.h"
#include "testkit.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

class TestCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }

    void answersWithoutWindows_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output");
        QTest::newRow("--help") << QStringList{"--help"} << 0 << "[options] [GAME_DIR]";
        QTest::newRow("-h, no display") << QStringList{"-h", "-platform", "xcb"} << 0 << "GAME_DIR";
        QTest::newRow("--version")
            << QStringList{"--version"} << 0 << "quorrel-setup " QUORREL_VERSION "\n";
        QTest::newRow("bad option")
            << QStringList{"--no-such-option"} << 1 << "Unknown option 'no-such-option'";
        QTest::newRow("missing GAME_DIR")
            << QStringList{"/no/such/game"} << 2 << "'/no/such/game': no such folder";
        QTest::newRow("GAME_DIR a file") << QStringList{QUORREL_EXE} << 2 << "not a folder";
        QTest::newRow("two GAME_DIRs") << QStringList{"/tmp", "/tmp"} << 1 << "only one GAME_DIR";
    }
    void answersWithoutWindows()
    {
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, output);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");  // a window would need one, and the language dialog would wait
        program.setProcessEnvironment(env);
        program.start(QUORREL_EXE, args);
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), status);
        const QString said = program.readAllStandardOutput() + program.readAllStandardError();
        QVERIFY2(said.contains(output), qPrintable(said));
    }

    void saveIntoGameDir()
    {
        // A folder whose name is not UTF-8, beside the folder its lossy spelling names.
        QTemporaryDir root;
        const QByteArray game = QFile::encodeName(root.path()) + "/game\xff";
        const QString lossy = root.filePath(QString::fromUtf8("game\xef\xbf\xbd"));
        QVERIFY(QDir().mkdir(lossy) && ::mkdir(game.constData(), 0700) == 0);
        QVERIFY(QDir::setCurrent(root.path()));
        char arg0[] = "quorrel-setup";
        QByteArray arg1 = game;
        char *argv[] = {arg0, arg1.data(), nullptr};
        QVERIFY(!CommandLine::enterGameFolder(2, argv));

        TestWindow w;
        w.field("Text2")->setText("Gamer");
        click(&w.form, "Command2");
        QVERIFY(::chdir(game.constData()) == 0);
        QFile saved("autoexec.cfg");
        QVERIFY(saved.open(QIODevice::ReadOnly)
                && saved.readAll().startsWith("name \"Gamer\"\r\n"));
        QVERIFY(!QFile::exists(lossy + "/autoexec.cfg"));
        QVERIFY(!QFile::exists(root.filePath("autoexec.cfg")));
    }
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
