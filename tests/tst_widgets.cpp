// The shared widgets on their own: the preview's text patch, the arrow bar, the
// preview's paste limit and the fields' undo history.
#include "script/composer.h"
#include "widgets/fieldedit.h"
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
        QTest::addColumn<int>("caret");
        QTest::addColumn<QList<int>>("patch");  // start, removed, inserted
        QTest::addColumn<int>("caretAfter");
        QTest::newRow("same") << "abc"
                              << "abc" << 2 << QList<int>{3, 0, 0} << 2;
        QTest::newRow("insert at start") << "bcd"
                                         << "abcd" << 0 << QList<int>{0, 0, 1} << 1;
        QTest::newRow("insert in middle, caret behind") << "abde"
                                                        << "abcde" << 3 << QList<int>{2, 0, 1} << 4;
        QTest::newRow("insert at end, caret in front") << "abc"
                                                       << "abcd" << 1 << QList<int>{3, 0, 1} << 1;
        QTest::newRow("delete at start, caret inside") << "xxabc"
                                                       << "abc" << 1 << QList<int>{0, 2, 0} << 0;
        QTest::newRow("delete in middle, caret at its end")
            << "abxxc"
            << "abc" << 4 << QList<int>{2, 2, 0} << 2;
        QTest::newRow("delete at end, caret behind") << "abcxx"
                                                     << "abc" << 5 << QList<int>{3, 2, 0} << 3;
        QTest::newRow("replace at start, caret in front")
            << "99 x"
            << "100 x" << 0 << QList<int>{0, 2, 3} << 0;
        QTest::newRow("replace in middle, caret inside") << "abXYc"
                                                         << "abZc" << 3 << QList<int>{2, 2, 1} << 3;
        QTest::newRow("shorter replacement, caret beyond it")
            << "a12345b"
            << "a9b" << 5 << QList<int>{1, 5, 1} << 2;
        QTest::newRow("replace at end, caret behind")
            << "gamma 100"
            << "gamma 101" << 9 << QList<int>{8, 1, 1} << 9;
        QTest::newRow("repeated letters") << "aaaa"
                                          << "aaa" << 4 << QList<int>{3, 1, 0} << 3;
    }
    void textPatch()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, caret);
        QFETCH(QList<int>, patch);
        QFETCH(int, caretAfter);
        const TextPatch p = diffTexts(before, after);
        QCOMPARE((QList<int>{int(p.start), int(p.removed), int(p.inserted)}), patch);
        QCOMPARE(QString(before).replace(p.start, p.removed, after.mid(p.start, p.inserted)),
                 after);
        QCOMPARE(int(::caretAfter(p, caret)), caretAfter);
    }

    void valueBarSteps()
    {
        ValueBar bar;
        bar.setRange(1, 1000);
        bar.setValue(997);
        bar.setShownConstant(1000);
        bar.resize(17, 17);
        bar.show();
        QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(8, 3));  // upper arrow
        QCOMPARE(bar.value(), 996);
        QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(8, 14));  // lower arrow
        QCOMPARE(bar.value(), 997);
        const std::pair<Qt::Key, int> keys[] = {{Qt::Key_Up, 996},     {Qt::Key_Down, 997},
                                                {Qt::Key_PageUp, 996}, {Qt::Key_PageDown, 997},
                                                {Qt::Key_Home, 1},     {Qt::Key_End, 1000}};
        for (const auto &[key, value] : keys) {
            QTest::keyClick(&bar, key);
            QCOMPARE(bar.value(), value);
        }
        wheel(&bar, 120);  // one notch up, one step towards a higher game value
        QCOMPARE(bar.value(), 999);
        for (int i = 0; i < 2; ++i)  // a high-resolution wheel's partial deltas
            wheel(&bar, 40);
        QCOMPARE(bar.value(), 999);
        wheel(&bar, 40);
        QCOMPARE(bar.value(), 998);
        wheel(&bar, -600);
        QCOMPARE(bar.value(), 1000);  // held at Max
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
        QCOMPARE(preview.script(), script);
        QCOMPARE(preview.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    }

    void fieldUndoHistoryIsBounded()
    {
        FieldEdit field;
        field.setText("abc");
        field.end(false);
        field.insert("d");
        field.selectAll();
        field.insert(QString(MaxFieldLength, u'x'));
        QVERIFY(field.isUndoAvailable());
        field.selectAll();  // one replacement too many: the history starts afresh
        field.insert(QString(MaxFieldLength, u'y'));
        QVERIFY(!field.isUndoAvailable());
        QCOMPARE(field.text(), QString(MaxFieldLength, u'y'));
        QCOMPARE(field.cursorPosition(), MaxFieldLength);
        field.backspace();
        field.undo();
        QCOMPARE(field.text(), QString(MaxFieldLength, u'y'));
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
