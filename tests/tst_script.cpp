// The script text and its bytes, without any window.
#include "script/composer.h"
#include "script/maker.h"
#include "script/scriptfile.h"

#include <QTest>

class TestScript : public QObject {
    Q_OBJECT

    static QStringList lines(const ScriptSettings &s)
    {
        return scriptFor(s).split(QStringLiteral("\r\n"));
    }

private slots:
    void defaults()
    {
        const QString text = scriptFor(ScriptSettings());
        const QStringList l = text.split(QStringLiteral("\r\n"));
        QCOMPARE(l.size(), 59);
        const QStringList head{
            "name \"...\"", "team \"...\"", "invmouse 0", "sensitivity 3", "fov 90",
            "musicvol 150", "soundvol 150", "fpsrange 50 50", "minlod 100", "dynlight 16",
            "gamma 100", "bind F6 showmip", "bind F5 toggleocull",
            "bind F8 \"savegame RychleUlozeni\"", "bind F9 \"loadgame RychleUlozeni\"",
            "bind W forward", "bind S backward", "bind A left", "bind D right"};
        QCOMPARE(l.mid(0, 19), head);
        // Lines whose inner spacing is easy to get wrong.
        QCOMPARE(l[20], "alias sp    [ mode -2; map $arg1 ]");
        QCOMPARE(l[21], "alias dmsp  [ mode -1; map $arg1 ]");
        QCOMPARE(l[22], "alias ffa   [ mode  0; map $arg1 ]");
        QCOMPARE(l[23], "alias insta [ mode  4; map $arg1 ]");
        QCOMPARE(l[30], "  if $editing [ alias s \"edit\" ] [ alias s \"game\" ]");
        QCOMPARE(l[35], "bind MOUSE4 [ universaldelta  1 ]");
        QCOMPARE(l[50], "  if (< $zfov 10)  [ alias zfov 10 ]");
        QCOMPARE(l[56], QString::fromUtf8("//Vytvořeno v programu : Quorrel - setup;;; Create in program : Quorrel - setup"));
        const QString web = QString::fromLatin1(Maker::WebText);
        QCOMPARE(l[57], "//Jdi na " + web + ";;; Go to " + web);
        QVERIFY(l[58].startsWith("// "));
        QVERIFY(text.endsWith(";;; FREEWARE"));
        QStringList empty;
        for (int i = 0; i < l.size(); ++i)
            if (l[i].isEmpty())
                empty << QString::number(i + 1);
        QCOMPARE(empty, QStringList({"35", "38", "45", "47", "55", "56"}));
        QCOMPARE(text.count(QStringLiteral("\r\n")), 58);
        QCOMPARE(text.count(u'\n'), 58);  // no bare LF anywhere
        QCOMPARE(text.count(u'\r'), 58);
    }

    void barBoundaries_data()
    {
        QTest::addColumn<int>("bar");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("line");
        QTest::newRow("speed max") << 3 << 1000 << "sensitivity 0";
        QTest::newRow("speed min") << 3 << 1 << "sensitivity 999";
        QTest::newRow("speed up arrow") << 3 << 996 << "sensitivity 4";
        QTest::newRow("speed down arrow") << 3 << 998 << "sensitivity 2";
        QTest::newRow("zoom max") << 4 << 110 << "fov 10";
        QTest::newRow("zoom min") << 4 << 0 << "fov 120";
        QTest::newRow("music max") << 1 << 255 << "musicvol 0";
        QTest::newRow("music min") << 1 << 0 << "musicvol 255";
        QTest::newRow("sound max") << 2 << 255 << "soundvol 0";
        QTest::newRow("sound min") << 2 << 0 << "soundvol 255";
        QTest::newRow("gamma max") << 5 << 270 << "gamma 30";
        QTest::newRow("gamma min") << 5 << 0 << "gamma 300";
    }
    void barBoundaries()
    {
        QFETCH(int, bar);
        QFETCH(int, position);
        QFETCH(QString, line);
        ScriptSettings s;
        s.bars[size_t(bar - 1)] = qint16(position);
        const QStringList l = lines(s);
        QVERIFY2(l.contains(line), qPrintable(l.mid(0, 11).join(" | ")));
        // Every other line keeps its default.
        QStringList defaults = lines(ScriptSettings());
        int differing = 0;
        for (int i = 0; i < 59; ++i)
            differing += l[i] != defaults[i];
        QCOMPARE(differing, 1);
    }

    void fpsOptions()
    {
        const char *expected[] = {"fpsrange 8 10", "fpsrange 20 25", "fpsrange 30 40",
                                  "fpsrange 50 50", "fpsrange 100 1000"};
        for (int option = 1; option <= 5; ++option) {
            ScriptSettings s;
            s.fpsOption = option;
            QCOMPARE(lines(s)[7], QString::fromLatin1(expected[option - 1]));
        }
    }

    void textFieldsAsTyped()
    {
        ScriptSettings s;
        s.name = "  Big Joe  ";
        s.team = "say \"hi\";";
        s.keys = {"w", " ", "7", QString::fromUtf8("ř")};
        s.invertMouse = true;
        const QStringList l = lines(s);
        QCOMPARE(l[0], "name \"  Big Joe  \"");
        QCOMPARE(l[1], "team \"say \"hi\";\"");
        QCOMPARE(l[2], "invmouse 1");
        QCOMPARE(l[15], "bind w forward");
        QCOMPARE(l[16], "bind   backward");
        QCOMPARE(l[17], "bind 7 left");
        QCOMPARE(l[18], QString::fromUtf8("bind ř right"));
        s.name.clear();
        QCOMPARE(lines(s)[0], "name \"\"");
    }

    void noInputBreaksALine()
    {
        // Whatever a field holds, the script keeps its 59 lines, in the text and
        // once it is the preview's document (where these characters start blocks).
        const QString breakers = QStringLiteral("a\rb\nc\r\nd") + QChar(0x2028) + QChar(0x2029)
            + QChar(0x85) + QChar(0x0b) + QChar(0x0c) + QChar(0) + QChar(0xfdd0) + QChar(0xfdd1);
        ScriptSettings s;
        s.name = breakers;
        s.team = breakers;
        s.keys = {QString(QChar(u'\n')), QString(QChar(0x2029)), QString(QChar(u'\r')), breakers};
        const QString text = scriptFor(s);
        QCOMPARE(text.split(QStringLiteral("\r\n")).size(), 59);
        for (QChar c : {QChar(u'\n'), QChar(u'\r')})
            QCOMPARE(text.count(c), 58);
        for (int c : {0x2028, 0x2029, 0x85, 0x0b, 0x0c, 0x00, 0xfdd0, 0xfdd1})
            QVERIFY(!text.contains(QChar(c)));
        QVERIFY(text.contains("name \"a b c  d"));
        ScriptSettings tab;
        tab.name = "a\tb";  // a tab does not break a line and stays
        QCOMPARE(lines(tab)[0], "name \"a\tb\"");
    }

    void windows1250Bytes()
    {
        QCOMPARE(ScriptFile::encode(QString::fromUtf8("řŘěščžýáíéůúťďňó")),
                 QByteArray("\xf8\xd8\xec\x9a\xe8\x9e\xfd\xe1\xed\xe9\xf9\xfa\x9d\xef\xf2\xf3"));
        QCOMPARE(ScriptFile::encode(u"a\r\nb"), QByteArray("a\r\nb"));
        QCOMPARE(ScriptFile::encode(QString::fromUtf8("€ §")), QByteArray("\x80 \xa7"));
        // Characters the code page lacks: one '?' each, a surrogate pair counting once.
        QCOMPARE(ScriptFile::encode(QString::fromUtf8("x\xe2\x9c\x93y\xf0\x9f\x98\x80z\xc4\x81")),
                 QByteArray("x?y?z?"));
        QCOMPARE(ScriptFile::encode(QString(QChar(0xd800)) + "a" + QChar(0xdc00)), QByteArray("?a?"));
        // A real SUB character is not taken for a substitute.
        QCOMPARE(ScriptFile::encode(QString(QChar(0x1a)) + QString::fromUtf8("ř\xe2\x9c\x93")),
                 QByteArray("\x1a\xf8?"));
        QCOMPARE(ScriptFile::encode(u""), QByteArray());
        const QByteArray bytes = ScriptFile::encode(scriptFor(ScriptSettings()));
        QCOMPARE(bytes.size(), scriptFor(ScriptSettings()).size());
        QVERIFY(bytes.contains("//Vytvo\xf8" "eno"));
    }
};

QTEST_GUILESS_MAIN(TestScript)
#include "tst_script.moc"
