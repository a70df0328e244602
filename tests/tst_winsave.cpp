// Save on Windows (under Wine on Linux): the start script byte for byte into a
// folder with Czech letters and one beyond 260 characters, a hard-linked file
// rewritten in place, the refusals with their words in both languages
// (golden/winsave.txt), the start's recovery from a journal of the format the
// file holds, and names of devices in the folder's path. `tst_winsave hold FILE MS`
// is the other program: it holds FILE open, shared with none, for MS ms.
#include "golden.h"
#include "i18n/language.h"
#include "i18n/messages.h"
#include "script/composer.h"
#include "script/scriptfile.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <windows.h>

using ScriptFile::Cause;
using ScriptFile::Folder;
using ScriptFile::OldFile;
using ScriptFile::Problem;

namespace {

const QByteArray Old = QByteArray("old\r\n").repeated(90);

std::wstring longForm(const QString &path)
{
    return L"\\\\?\\" + QDir::toNativeSeparators(path).toStdWString();
}

bool put(const QString &path, const QByteArray &bytes)
{
    const HANDLE h = CreateFileW(longForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD n = 0;
    const bool ok = h != INVALID_HANDLE_VALUE
        && WriteFile(h, bytes.data(), DWORD(bytes.size()), &n, nullptr) && n == DWORD(bytes.size());
    CloseHandle(h);
    return ok;
}

QByteArray get(const QString &path, BY_HANDLE_FILE_INFORMATION *info = nullptr)
{
    const HANDLE h = CreateFileW(longForm(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    QByteArray bytes(1 << 20, '\0');
    DWORD n = 0;
    if (h == INVALID_HANDLE_VALUE || !ReadFile(h, bytes.data(), DWORD(bytes.size()), &n, nullptr)
        || (info && !GetFileInformationByHandle(h, info)))
        bytes = "<unreadable>";
    CloseHandle(h);
    return bytes.left(n);
}

QByteArray script()
{
    return defaultScriptBytes();
}

// The two reasons a golden section names, Czech then English.
QStringList goldenReason(const char *section)
{
    const QStringList lines = QString::fromUtf8(goldenBytes("winsave.txt")).split('\n');
    const qsizetype at = lines.indexOf('[' + QString(section) + ']');
    return at < 0 ? QStringList{"<no section>"} : lines.mid(at + 1, 2);
}

QStringList reasons(const ScriptFile::Outcome &r)
{
    QStringList out;
    for (const Language l : {Language::Czech, Language::English}) {
        setLanguage(l);
        out << Messages::saveFailed(r).text.section("\n\n", 1);
    }
    return out;
}

}  // namespace

class TestWinSave : public QObject {
    Q_OBJECT
    std::optional<QTemporaryDir> base;

private slots:
    void init() { QVERIFY(base.emplace().isValid()); }

    // The bytes, the path as Windows writes it, and nothing left beside the file.
    void czechFolderAndWorkingFolder()
    {
        const QString dir = base->filePath(QString::fromUtf8("Hry/Quorrel ř čeština"));
        QVERIFY(QDir().mkpath(dir));
        const QString path = QDir::toNativeSeparators(dir + "/autoexec.cfg");
        QCOMPARE(QDir::toNativeSeparators(Folder(dir.toUtf8()).displayPath()), path);
        // New; over an older file; into the working folder.
        for (int i = 0; i < 3; ++i) {
            const QString before = QDir::currentPath();
            QVERIFY(i < 2 || QDir::setCurrent(dir));
            const ScriptFile::Outcome r = ScriptFile::save(
                i < 2 ? Folder(dir.toUtf8()) : Folder::current(), scriptFor({}));
            QVERIFY(QDir::setCurrent(before));
            QCOMPARE(int(r.problem), int(Problem::None));
            QCOMPARE(r.path, path);
            QCOMPARE(get(path), script());
            QCOMPARE(QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                     QStringList{"autoexec.cfg"});
            QVERIFY(put(path, Old));
        }
    }

    void beyond260Characters()
    {
        QString dir = base->path();
        for (const char c : {'a', 'b', 'c', 'd'}) {
            dir += '/' + QString(70, QLatin1Char(c));
            QVERIFY(CreateDirectoryW(longForm(dir).c_str(), nullptr));
        }
        const QString path = QDir::toNativeSeparators(dir + "/autoexec.cfg");
        QVERIFY(path.size() > 300);
        const Folder folder(dir.toUtf8());
        for (int i = 0; i < 2; ++i) {  // new, then replaced
            const ScriptFile::Outcome r = ScriptFile::save(folder, scriptFor({}));
            QCOMPARE(int(r.problem), int(Problem::None));
            QCOMPARE(r.path, path);
            QCOMPARE(get(path), script());
            QVERIFY(put(path, Old));
        }
    }

    // A file with two names is rewritten in place: the other name sees the new
    // text, both stay one file, and the journal is gone.
    void hardLink()
    {
        const QString path = base->filePath("autoexec.cfg"), other = base->filePath("other.cfg");
        QVERIFY(put(path, Old + Old)
                && CreateHardLinkW(longForm(other).c_str(), longForm(path).c_str(), nullptr));
        const ScriptFile::Outcome r = ScriptFile::save(Folder(base->path().toUtf8()),
                                                       scriptFor({}));
        QCOMPARE(int(r.problem), int(Problem::None));
        BY_HANDLE_FILE_INFORMATION one{}, two{};
        QCOMPARE(get(path, &one), script());
        QCOMPARE(get(other, &two), script());
        QCOMPARE(one.nNumberOfLinks, DWORD(2));
        QCOMPARE(quint64(one.nFileIndexHigh) << 32 | one.nFileIndexLow,
                 quint64(two.nFileIndexHigh) << 32 | two.nFileIndexLow);
        QCOMPARE(QDir(base->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList({"autoexec.cfg", "other.cfg"}));
    }

    void refusals_data()
    {
        QTest::addColumn<int>("problem");
        QTest::addColumn<int>("cause");
        QTest::addColumn<int>("holdMs");
        QTest::newRow("read-only attribute")
            << int(Problem::Failed) << int(Cause::ReadOnlyFile) << 0;
        QTest::newRow("held open by another program")
            << int(Problem::Failed) << int(Cause::InUse) << 4000;
        QTest::newRow("held open for less than a save waits")
            << int(Problem::None) << int(Cause::None) << 600;
        QTest::newRow("folder at the name") << int(Problem::NotRegular) << int(Cause::None) << 0;
    }

    // The old file (or folder) stays as it was, and the reason is told.
    void refusals()
    {
        QFETCH(int, problem);
        QFETCH(int, cause);
        QFETCH(int, holdMs);
        const QString path = base->filePath("autoexec.cfg");
        const bool folderThere = problem == int(Problem::NotRegular);
        QVERIFY(folderThere ? QDir().mkdir(path) : put(path, Old));
        if (cause == int(Cause::ReadOnlyFile))
            QVERIFY(SetFileAttributesW(longForm(path).c_str(), FILE_ATTRIBUTE_READONLY));
        QProcess holder;
        if (holdMs) {
            holder.start(QCoreApplication::applicationFilePath(),
                         {"hold", path, QString::number(holdMs)});
            QVERIFY(holder.waitForReadyRead(20000));
            QCOMPARE(holder.readAll().trimmed(), "held");
        }
        QElapsedTimer took;
        took.start();
        const ScriptFile::Outcome r = ScriptFile::save(Folder(base->path().toUtf8()),
                                                       scriptFor({}));
        const qint64 waited = took.elapsed();
        QVERIFY(holder.state() == QProcess::NotRunning || holder.waitForFinished(20000));
        QCOMPARE(int(r.problem), problem);
        QCOMPARE(int(r.cause), cause);
        if (holdMs)  // another save would wait two seconds, no more
            QVERIFY2(waited >= std::min(holdMs, 2000) - 300 && waited < 3000,
                     qPrintable(QString::number(waited)));
        if (problem == int(Problem::None)) {
            QCOMPARE(get(path), script());
            return;
        }
        QCOMPARE(int(r.old), int(OldFile::Untouched));
        QCOMPARE(int(r.found),
                 int(folderThere ? ScriptFile::Found::Folder : ScriptFile::Found::Regular));
        QCOMPARE(reasons(r), goldenReason(QTest::currentDataTag()));
        if (folderThere)
            QVERIFY(QFileInfo(path).isDir());
        else
            QCOMPARE(get(path), Old);
        SetFileAttributesW(longForm(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    }

    // A save in place stopped before its end left the new, longer text and its journal
    // (written here to the file's documented layout); the start puts the old
    // bytes back. A journal whose sum is wrong was never complete: it goes, and
    // the file stays.
    void recoveryFromTheJournal()
    {
        const QString path = base->filePath("autoexec.cfg");
        const QString journal = base->filePath(".autoexec.cfg.quorrel-journal");
        const Folder folder(base->path().toUtf8());
        for (const bool complete : {true, false}) {
            BY_HANDLE_FILE_INFORMATION info{};
            QVERIFY(script().size() > Old.size() && put(path, script()) && get(path, &info).size());
            QByteArray head("QRLJRNL1");
            head.resize(40);
            qToLittleEndian<qint64>(Old.size(), head.data() + 8);
            qToLittleEndian<quint32>(info.dwFileAttributes, head.data() + 16);
            qToLittleEndian<quint64>(info.dwVolumeSerialNumber, head.data() + 24);
            qToLittleEndian<quint64>(quint64(info.nFileIndexHigh) << 32 | info.nFileIndexLow,
                                     head.data() + 32);
            QByteArray sum = QCryptographicHash::hash(head + Old, QCryptographicHash::Sha1);
            if (!complete)
                sum[0] = char(sum[0] ^ 1);
            QVERIFY(put(journal, head + Old + sum));
            const ScriptFile::Recovery r = ScriptFile::recover(folder);
            QCOMPARE(int(r.what),
                     int(complete ? ScriptFile::Recovery::PutBack : ScriptFile::Recovery::Nothing));
            QCOMPARE(get(path), complete ? Old : script());
            QVERIFY(!QFile::exists(journal));
            setLanguage(Language::English);
            if (complete)
                QCOMPARE(Messages::recovered(r)->title + ": " + Messages::recovered(r)->text,
                         goldenMessage("recoveredPutBack", 2).arg(QDir::toNativeSeparators(path)));
        }
    }

    // A name Windows takes for a device is no folder, anywhere in the path.
    void devicesInTheFolderPath()
    {
        QVERIFY(QDir().mkpath(base->filePath("console")));
        for (const char *name : {"NUL", "con", "x/CON/y", "COM1.txt", "lpt9 ", "aux.x/y"}) {
            const Folder f((base->path() + '/' + QString(name)).toUtf8());
            QCOMPARE(int(f.error()), int(Cause::NotFolder));
        }
        QCOMPARE(int(Folder(base->filePath("console").toUtf8()).error()), int(Cause::None));
        QVERIFY(put(base->filePath("file"), Old));
        QCOMPARE(int(Folder(base->filePath("file").toUtf8()).error()), int(Cause::NotFolder));
        QCOMPARE(int(Folder(base->filePath("missing").toUtf8()).error()), int(Cause::Missing));
        setLanguage(Language::Czech);
        const QString czech = Messages::cause(Cause::NotFolder);
        setLanguage(Language::English);
        QCOMPARE(QStringList({czech, Messages::cause(Cause::NotFolder)}),
                 goldenReason("device name in the folder's path"));
    }
};

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "hold") == 0) {
        const HANDLE h = CreateFileW(QString::fromLocal8Bit(argv[2]).toStdWString().c_str(),
                                     GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        std::printf("%s\n", h == INVALID_HANDLE_VALUE ? "failed" : "held");
        std::fflush(stdout);
        Sleep(DWORD(std::atoi(argv[3])));
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestWinSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_winsave.moc"
