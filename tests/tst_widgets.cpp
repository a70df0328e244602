// The shared widgets on their own: the preview's text patch, the arrow bar and the
// preview's paste limit.
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
        const auto row = [](const char *name, const char *before, const char *after, QList<int> e) {
            QTest::newRow(name) << QString(before) << QString(after) << e;
        };
        row("same", "abc", "abc", {3, 0, 0, 2, 2});
        row("insert at start", "bcd", "abcd", {0, 0, 1, 0, 1});
        row("insert in middle, caret behind", "abde", "abcde", {2, 0, 1, 3, 4});
        row("insert at end, caret in front", "abc", "abcd", {3, 0, 1, 1, 1});
        row("delete at start, caret inside", "xxabc", "abc", {0, 2, 0, 1, 0});
        row("delete in middle, caret at its end", "abxxc", "abc", {2, 2, 0, 4, 2});
        row("delete at end, caret behind", "abcxx", "abc", {3, 2, 0, 5, 3});
        row("replace at start, caret in front", "99 x", "100 x", {0, 2, 3, 0, 0});
        row("replace in middle, caret inside", "abXYc", "abZc", {2, 2, 1, 3, 3});
        row("shorter replacement, caret beyond it", "a12345b", "a9b", {1, 5, 1, 5, 2});
        row("replace at end, caret behind", "gamma 100", "gamma 101", {8, 1, 1, 9, 9});
        row("repeated letters", "aaaa", "aaa", {3, 1, 0, 4, 3});
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
        // The upper and the lower arrow, keys (a page is one step too), then the wheel: a
        // notch up, a high-resolution wheel's partial deltas adding up, and a stop at Max.
        QList<int> seen;
        for (int y : {3, 14}) {
            QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(8, y));
            seen << bar.value();
        }
        for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown,
                            Qt::Key_Home, Qt::Key_End}) {
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
