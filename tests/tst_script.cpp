// The script text and its bytes, without any window.
#include "golden.h"
#include "script/composer.h"
#include "script/scriptfile.h"

#include <QTest>

static QByteArray bytes(QStringView text)
{
    QByteArray out;
    return ScriptFile::encode(text, &out) ? out : QByteArray("<no converter>");
}

static QStringList lines(const ScriptSettings &s)
{
    return scriptFor(s).split(QStringLiteral("\r\n"));
}

class TestScript : public QObject {
    Q_OBJECT
private slots:
    void defaults() { QCOMPARE(scriptFor(ScriptSettings()), defaultScript()); }

    void settingLines()
    {
        ScriptSettings s;
        s.name = "  Big Joe  ";
        s.team = "say \"hi\";\t";
        s.keys = {"w", " ", "7", QString::fromUtf8("ř")};
        s.invertMouse = true;
        QCOMPARE(lines(s).mid(0, 3).join('|'),
                 "name \"  Big Joe  \"|team \"say \"hi\";\t\"|invmouse 1");
        QCOMPARE(lines(s).mid(15, 4).join('|'),
                 QString::fromUtf8("bind w forward|bind   backward|bind 7 left|bind ř right"));
        s.name.clear();
        QCOMPARE(lines(s)[0], "name \"\"");
    }

    void noInputBreaksALine()
    {
        // Characters that end a line in the file or a block in the preview become spaces.
        QString breakers = "a\rb\nc\r\nd";
        for (char16_t c :
             {u'\v', u'\f', u'\0', u'\x85', u'\u2028', u'\u2029', u'\ufdd0', u'\ufdd1'})
            breakers += QChar(c);
        ScriptSettings s;
        s.name = s.team = breakers;
        s.keys = {"\n", QString(QChar(0x2029)), "\r", breakers};
        const QString text = scriptFor(s);
        QCOMPARE(text.split("\r\n").size(), 59);
        QCOMPARE(text.count(u'\n') + text.count(u'\r'), 2 * 58);
        QVERIFY(text.startsWith("name \"a b c  d" + QString(8, u' ') + "\""));
        for (char16_t c : {u'\0', u'\u2028', u'\u2029', u'\ufdd0'})
            QVERIFY(!text.contains(QChar(c)));
    }

    void windows1250Bytes()
    {
        QCOMPARE(
            bytes(QString::fromUtf8("řŘěščžýáíéůúťďňó€ §\r\n")),
            QByteArray(
                "\xf8\xd8\xec\x9a\xe8\x9e\xfd\xe1\xed\xe9\xf9\xfa\x9d\xef\xf2\xf3\x80 \xa7\r\n"));
        // What the code page lacks is one '?' per character, a surrogate pair counting once;
        // a real SUB character is not taken for the converter's substitute.
        QCOMPARE(bytes(QString::fromUtf8("x\xe2\x9c\x93y\xf0\x9f\x98\x80z\xc4\x81") + QChar(0xd800)
                       + "a" + QChar(0xdc00)),
                 QByteArray("x?y?z??a?"));
        QCOMPARE(bytes(QChar(0x1a) + QString::fromUtf8("ř\xe2\x9c\x93")), QByteArray("\x1a\xf8?"));
        QCOMPARE(bytes(u""), QByteArray());

        // Default-ignorable code points, which the converter skips: one '?' each too.
        QString text;
        QByteArray expected;
        for (const char32_t c : {0x200B, 0x200C, 0x200D, 0x200E, 0x200F, 0x202A, 0x202B, 0x202C,
                                 0x202D, 0x202E, 0x2060, 0xFEFF, 0xFE0F, 0xE0041}) {
            text.append(QStringView(QChar::fromUcs4(c))).append(QChar(0xe1));
            expected += "?\xe1";
        }
        QCOMPARE(bytes(text), expected);
        QCOMPARE(bytes(text + QChar(0x1a)), expected + '\x1a');
        QByteArray out;
        QVERIFY(!ScriptFile::encode(text, &out, "no-such-code-page") && out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestScript)
#include "tst_script.moc"
