// Long runs with hostile input: the preview stays the script of the controls, the
// labels true, the keys repaired, the window responsive and the memory flat.
#include "testkit.h"

#include <QClipboard>
#include <QFile>
#include <QRandomGenerator>
#include <ctime>
#ifdef Q_OS_WIN
#include <windows.h>

#include <psapi.h>  // after windows.h, which it needs
#else
#include <unistd.h>
#endif

#ifndef __has_feature
#define __has_feature(feature) 0
#endif
// AddressSanitizer slows each tick tenfold and keeps freed memory in quarantine:
// a shorter soak, and no bounds on time or resident size (LeakSanitizer checks leaks).
#if defined(__SANITIZE_ADDRESS__) || __has_feature(address_sanitizer)
constexpr bool UnderAsan = true;
#else
constexpr bool UnderAsan = false;
#endif
constexpr int SoakTicks = UnderAsan ? 10000 : 100000;

namespace {

// The process's resident memory in KiB; the test fails where it cannot be read.
long residentKiB()
{
#ifdef Q_OS_WIN
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof c;
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &c, sizeof c))
        qFatal("GetProcessMemoryInfo failed");
    return long(c.WorkingSetSize / 1024);
#else
    QFile f("/proc/self/statm");
    const long pages = f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').value(1).toLong() : 0;
    if (pages <= 0)
        qFatal("/proc/self/statm gives no resident size");
    return pages * (sysconf(_SC_PAGESIZE) / 1024);
#endif
}

QString hostileText(QRandomGenerator &rng)
{
    static const QStringList pieces =
        QString::fromUtf8(
            "|x| |\"|;|[|]|(|)|$arg1|\t|\n|\r\n|\r|\u200f|\u202e|\u0301|ř|\U0001F600|漢|"
            "\u2028|\u2029|\ufdd0|quit|; quit")
            .split('|')
        << QString(QChar(0)) << QString(QChar(0xd800)) << QString(QChar(0xdc00));
    if (rng.bounded(2000) == 0)
        return QString(100000, QChar(u'a' + rng.bounded(26)));
    QString s;
    for (int i = int(rng.bounded(12)); i > 0; --i)
        s += pieces[rng.bounded(int(pieces.size()))];
    return s;
}

}  // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }

    void hostileTicks()
    {
        const quint32 seed = qEnvironmentVariableIsSet("QUORREL_SOAK_SEED")
            ? quint32(qEnvironmentVariableIntValue("QUORREL_SOAK_SEED"))
            : QRandomGenerator::global()->generate();
        qInfo("soak seed %u (replay with QUORREL_SOAK_SEED=%u), %d ticks", seed, seed, SoakTicks);
        QRandomGenerator rng(seed);
        setLanguage(Language::English);
        TestWindow w;
        TestResponder answers;
        const char *bars[5] = {"VScroll1", "VScroll2", "VScroll3", "VScroll4", "VScroll5"};
        const char *texts[6] = {"Text2", "Text3", "Text4", "Text5", "Text6", "Text7"};
        const char *options[5] = {"Option1", "Option2", "Option3", "Option4", "Option5"};
        const QList<QStringList> gameBars = goldenRows("bars.tsv");
        long baseline = 0;

        for (int tick = 0; tick < SoakTicks; ++tick) {
            for (int changes = int(rng.bounded(4)); changes > 0; --changes) {
                const int what = int(rng.bounded(14));
                if (what < 5) {
                    w.bar(bars[what])->setValue(int(rng.bounded(w.bar(bars[what])->maximum() + 1)));
                } else if (what < 11) {
                    // Keys are mostly single characters, now and then anything.
                    const bool single = what >= 7 && rng.bounded(50) != 0;
                    w.field(texts[what - 5])
                        ->setText(single ? QString(QChar(char16_t(0x20 + rng.bounded(0x250))))
                                         : hostileText(rng));
                } else {
                    click(&w.form, what < 13 ? options[rng.bounded(5)] : "Check1");
                }
            }
            w.form.refresh();

            // The preview is the script of the controls, each label the number in its line.
            const QString script = w.preview()->script();
            QCOMPARE(script, w.expected());
            const QStringList l = script.split("\r\n");
            for (const QStringList &g : gameBars)
                QCOMPARE(l[g[5].toInt() - 1], g[6] + ' ' + w.label(qPrintable(g[4])));
            for (int k = 2; k < 6; ++k)
                QCOMPARE(w.field(texts[k])->text().size(), 1);  // repaired
            if (tick == 2000)
                baseline = residentKiB();
        }
        const long growth = residentKiB() - baseline;
        qInfo("resident growth after warm-up: %ld KiB, %d key repairs", growth,
              int(answers.messages.size()));
        QVERIFY2(UnderAsan || growth < 16 * 1024, qPrintable(QString::number(growth)));
    }

    void hugePastesKeepTheWindowResponsive_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("lineBreaks");
        for (const char *target : {"Text2", "Text4", "Text1"})
            for (bool breaks : {false, true})
                QTest::addRow("%s, %s", target, breaks ? "lines" : "one line") << target << breaks;
    }
    void hugePastesKeepTheWindowResponsive()
    {
        QFETCH(QString, target);
        QFETCH(bool, lineBreaks);
        QString text(10'000'000, u'q');
        if (lineBreaks)
            for (qsizetype i = 79; i < text.size(); i += 80)
                text[i] = u'\n';
        QGuiApplication::clipboard()->setText(text);
        TestWindow w;
        TestResponder answers;  // a repaired key field's message
        QWidget *field = child(&w.form, qPrintable(target));
        field->setFocus();
        const std::clock_t start = std::clock();  // CPU time: the machine's load does not count
        QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        w.form.refresh();
        QCoreApplication::processEvents();  // layout and paint
        const long ms = long(std::clock() - start) * 1000 / CLOCKS_PER_SEC;
        qInfo("paste of 10 MB into %s: %ld ms of CPU time", qPrintable(target), ms);
        QCOMPARE(w.preview()->script(), w.expected());
        if (target == "Text2")
            QCOMPARE(w.field("Text2")->text().size(), MaxFieldLength);
        QVERIFY2(UnderAsan || ms < 100, qPrintable(QString::number(ms)));
    }

    void repeatedBigEditsKeepMemoryFlat()
    {
        if (UnderAsan)
            QSKIP("AddressSanitizer keeps freed memory in quarantine");
        TestWindow w;
        QLineEdit *name = w.field("Text2");
        name->insert("x");  // small edits keep their undo; big ones start the history afresh
        QVERIFY(name->isUndoAvailable());
        long start = 0;
        for (int i = 0; i <= 1000; ++i) {
            name->selectAll();
            name->insert(QString(MaxFieldLength, QChar(u'a' + i % 26)));
            w.form.refresh();
            if (i == 0)
                start = residentKiB();
        }
        const long growth = residentKiB() - start;
        qInfo("resident growth over 1000 replacements: %ld KiB", growth);
        QVERIFY2(growth < 50 * 1024, qPrintable(QString::number(growth)));
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
