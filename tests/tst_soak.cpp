// Long runs with hostile input: the tick keeps the script whole, the labels
// true, the keys repaired, and the memory flat.
#include "about/form3.h"
#include "script/scriptsettings.h"
#include "testkit.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTest>

#ifndef SOAK_TICKS
#define SOAK_TICKS 100000
#endif

namespace {

long residentKiB()
{
    QFile f("/proc/self/statm");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = f.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * 4 : 0;
}

QString hostileText(QRandomGenerator &rng)
{
    static const QString pieces[] = {
        "", "x", " ", "\"", ";", "[", "]", "(", ")", "$arg1", "\t", "\n", "\r\n", "\r",
        QString(QChar(0)), QString(QChar(0x200f)), QString(QChar(0x202e)),
        QString(QChar(0x0301)), QString::fromUtf8("ř"), QString::fromUtf8("\xf0\x9f\x98\x80"),
        QString::fromUtf8("漢"), QString(QChar(0xd800)), QString(QChar(0xdc00)),
        QString(QChar(0x2028)), QString(QChar(0x2029)), QString(QChar(0xfdd0)), "quit", "; quit"};
    if (rng.bounded(2000) == 0)
        return QString(100000, QChar(u'a' + rng.bounded(26)));
    QString s;
    for (int i = int(rng.bounded(12)); i > 0; --i)
        s += pieces[rng.bounded(int(std::size(pieces)))];
    return s;
}

} // namespace

class TestSoak : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { initTestApplication(); }

    void hostileTicks()
    {
        const quint32 seed = qEnvironmentVariableIsSet("QUORREL_SOAK_SEED")
            ? quint32(qEnvironmentVariableIntValue("QUORREL_SOAK_SEED"))
            : QRandomGenerator::global()->generate();
        qInfo("soak seed %u (replay with QUORREL_SOAK_SEED=%u), %d ticks", seed, seed, SOAK_TICKS);
        QRandomGenerator rng(seed);
        Module1::LanguageId = 2;
        TestWindow w;
        ModalResponder answers;
        QScrollBar *bars[5] = {w.ui.VScroll1, w.ui.VScroll2, w.ui.VScroll3, w.ui.VScroll4, w.ui.VScroll5};
        QLineEdit *texts[6] = {w.ui.Text2, w.ui.Text3, w.ui.Text4, w.ui.Text5, w.ui.Text6, w.ui.Text7};
        QRadioButton *options[5] = {w.ui.Option1, w.ui.Option2, w.ui.Option3, w.ui.Option4, w.ui.Option5};
        const QStringList fixed = scriptFor(ScriptSettings()).split("\r\n");
        const int settingLines[] = {1, 2, 3, 4, 5, 6, 7, 8, 11, 16, 17, 18, 19};
        const char *actions[4] = {" forward", " backward", " left", " right"};
        long baseline = 0;

        for (int tick = 0; tick < SOAK_TICKS; ++tick) {
            for (int changes = int(rng.bounded(4)); changes > 0; --changes) {
                const int what = int(rng.bounded(14));
                if (what < 5) {
                    bars[what]->setValue(bars[what]->minimum()
                                         + int(rng.bounded(bars[what]->maximum() - bars[what]->minimum() + 1)));
                } else if (what < 7) {
                    texts[what - 5]->setText(hostileText(rng));
                } else if (what < 11) {
                    // Keys are mostly single characters, now and then anything.
                    const bool hostile = rng.bounded(50) == 0;
                    texts[what - 5]->setText(hostile ? hostileText(rng)
                                                     : QString(QChar(char16_t(0x20 + rng.bounded(0x250)))));
                } else if (what < 13) {
                    options[rng.bounded(5)]->setChecked(true);
                } else {
                    w.ui.Check1->toggle();
                }
            }
            w.form.Timer1_Timer();

            // Every line but the setting lines as at start; each setting line by its rule.
            const QStringList l = w.form.previewText().split("\r\n");
            QCOMPARE(l.size(), 59);
            for (int i = 0; i < 59; ++i)
                if (!std::count(std::begin(settingLines), std::end(settingLines), i + 1))
                    QCOMPARE(l[i], fixed[i]);
            QLabel *labels[5] = {w.ui.Label4, w.ui.Label6, w.ui.Label7, w.ui.Label8, w.ui.Label10};
            for (const GameBar &g : GameBars) {
                const QString v = QString::number(g.constant - bars[g.bar - 1]->value());
                QCOMPARE(labels[g.bar - 1]->text(), v);
                QCOMPARE(l[g.line - 1], QLatin1String(g.keyword) + v);
            }
            QCOMPARE(l[0], "name \"" + singleLine(w.ui.Text2->text()) + '"');
            QCOMPARE(l[1], "team \"" + singleLine(w.ui.Text3->text()) + '"');
            QCOMPARE(l[2], w.ui.Check1->isChecked() ? "invmouse 1" : "invmouse 0");
            for (int o = 0; o < 5; ++o)
                if (options[o]->isChecked())
                    QCOMPARE(l[7], QStringLiteral("fpsrange ") + FpsPresets[size_t(o)]);
            for (int k = 0; k < 4; ++k) {
                QCOMPARE(texts[k + 2]->text().size(), 1);  // repaired
                QCOMPARE(l[15 + k], "bind " + singleLine(texts[k + 2]->text()) + actions[k]);
            }
            if (tick == 2000)
                baseline = residentKiB();
        }
        const long growth = residentKiB() - baseline;
        qInfo("resident growth after warm-up: %ld KiB, %d key repairs", growth, int(answers.messages.size()));
#ifndef SOAK_SANITIZED
        QVERIFY2(growth < 16 * 1024, qPrintable(QString::number(growth)));
#endif
    }

    void keyRepairUnderStress()
    {
        // All four keys broken, round after round, while the about box is open and
        // two timers keep ticking, one nesting into the other's messages.
        Module1::LanguageId = 1;
        Form1 f;
        QTimer extra;
        connect(&extra, &QTimer::timeout, &f, &Form1::Timer1_Timer);
        extra.start(3);
        QLineEdit *keys[4] = {f.ui->Text4, f.ui->Text5, f.ui->Text6, f.ui->Text7};
        auto repaired = [&] {
            int n = 0;
            for (int k = 0; k < 4; ++k)
                n += keys[k]->text() == QString(QChar::fromLatin1(KeyDefaults[k]));
            return n;
        };
        int rounds = 0;
        QStringList errors;
        ModalResponder modal;
        QWidget *about = nullptr;
        auto nextRound = [&] {
            if (rounds == 3) {
                about->close();
                return;
            }
            ++rounds;
            for (QLineEdit *k : keys)
                k->setText(rounds % 2 ? "" : "too long");
        };
        modal.onMessage = [&](const ModalResponder::Message &m) {
            // The n-th message of a round stands for the n-th field, repaired already.
            const int n = int(modal.messages.size());
            if (m.text != QString::fromUtf8("Chybná hodnota") || repaired() < (n - 1) % 4 + 1)
                errors << QStringLiteral("message %1 with %2 repaired").arg(n).arg(repaired());
            if (n % 4 == 1)  // a tick inside this message's loop, before it closes
                QTimer::singleShot(0, &f, &Form1::Timer1_Timer);
            if (n % 4 == 0)
                QTimer::singleShot(30, about, nextRound);
        };
        modal.steps << [&](QWidget *w) {
            about = w;
            nextRound();
        };
        QTimer::singleShot(5000, &f, [] { QApplication::activeModalWidget()->close(); });
        f.about_Click();
        QVERIFY2(errors.isEmpty(), qPrintable(errors.join("; ")));
        QCOMPARE(rounds, 3);
        QCOMPARE(modal.messages.size(), 12);
    }
};

QTEST_MAIN(TestSoak)
#include "tst_soak.moc"
