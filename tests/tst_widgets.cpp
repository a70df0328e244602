// The shared widgets on their own: the preview's text patch, the arrow bar and the
// preview's paste limit.
#include "golden.h"
#include "script/composer.h"
#include "widgets/scriptpreview.h"
#include "widgets/textpatch.h"
#include "widgets/valuebar.h"

#include <QClipboard>
#include <QTest>

static void wheel(QWidget *w, int delta)
{
    QWheelEvent e(QPointF(8, 8), w->mapToGlobal(QPointF(8, 8)), {}, {0, delta}, Qt::NoButton, {},
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
}

class TestWidgets : public QObject {
    Q_OBJECT
private slots:
    void textPatch_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QList<int>>("expected");  // start, removed, inserted; caret, moved
        for (const QStringList &r : goldenRows("textpatch.tsv")) {
            QList<int> e;
            for (const QString &n : r.mid(3))
                e << n.toInt();
            QTest::newRow(qPrintable(r[0])) << r[1] << r[2] << e;
        }
    }
    void textPatch()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QList<int>, expected);
        const TextPatch p = diffTexts(before, after);
        QCOMPARE((QList<int>{int(p.start), int(p.removed), int(p.inserted)}), expected.mid(0, 3));
        QCOMPARE(QString(before).replace(p.start, p.removed, after.mid(p.start, p.inserted)),
                 after);
        QCOMPARE(int(caretAfter(p, expected[3])), expected[4]);
    }

    void valueBarSteps()
    {
        ValueBar bar;
        bar.setRange(1, 1000);
        bar.setValue(997);
        bar.setShownConstant(1000);
        bar.resize(17, 17);
        bar.show();
        // The upper and the lower arrow, keys (a page is one step too; End and Home
        // go to the shown value's highest and lowest), then the wheel: a
        // notch up, a high-resolution wheel's partial deltas adding up, and a stop at Max.
        QList<int> seen;
        for (int y : {3, 14}) {
            QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(8, y));
            seen << bar.value();
        }
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_End,
                            Qt::Key_Home}) {
            QTest::keyClick(&bar, key);
            seen << bar.value();
        }
        for (int delta : {120, 40, 40, 40, -600}) {
            wheel(&bar, delta);
            seen << bar.value();
        }
        QCOMPARE(seen,
                 (QList<int>{996, 997, 996, 997, 996, 997, 1, 1000, 999, 999, 999, 998, 1000}));
        QCOMPARE(bar.shownValue(), 0);
    }

    void previewPasteLimit()
    {
        // A paste longer than any script line is refused; a long line is broken
        // anywhere, until the next script has none.
        ScriptPreview preview;
        const QString script = scriptFor(ScriptSettings());
        preview.showScript(script);
        QGuiApplication::clipboard()->setText(QString(LongestScriptLine + 1, u'x'));
        preview.paste();
        QCOMPARE(preview.script(), script);
        QCOMPARE(preview.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
        QGuiApplication::clipboard()->setText(QString(LongestScriptLine, u'x'));
        preview.paste();
        QCOMPARE(preview.script().size(), script.size() + LongestScriptLine);
        QCOMPARE(preview.wordWrapMode(), QTextOption::WrapAnywhere);
        preview.showScript(script);
        QCOMPARE(preview.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
