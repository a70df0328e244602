// The script text and its bytes, without any window.
#include "golden.h"
#include "script/composer.h"
#include "script/saveplan.h"
#include "script/scriptfile.h"

#include <QRegularExpression>
#include <QTest>

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
        const QString lone = QString(QChar(0xd800)) + "a" + QChar(0xdc00);
        for (const auto &[text, bytes] :
             {// Czech, and what Windows-1250 has in other places than Latin-1
              std::pair{QString::fromUtf8("řŘěščžýáíéůúťďňó€ §\r\n"),
                        QByteArray("\xf8\xd8\xec\x9a\xe8\x9e\xfd\xe1\xed\xe9\xf9\xfa\x9d\xef"
                                   "\xf2\xf3\x80 \xa7\r\n")},
              {QString::fromUtf8("šžłĹ„“”€"), "\x9a\x9e\xb3\xc5\x84\x93\x94\x80"},
              // Latin-1 letters it lacks, its five undefined bytes, signs, an emoji,
              // lone surrogates and default-ignorable code points: one '?' each
              {QString::fromUtf8("ñæÃ\u0081\u0083\u0088\u0090\u0098"), "????????"},
              {QString::fromUtf8("x\xe2\x9c\x93y\xf0\x9f\x98\x80zā") + lone, "x?y?z??a?"},
              {QString::fromUtf8("\u200b\ufeffá\U000E0041"), "??\xe1?"},
              {QChar(0x1a) + QString::fromUtf8("ř\xe2\x9c\x93"), "\x1a\xf8?"},
              {QString(), ""}})
            QCOMPARE(ScriptFile::encode(text), bytes);
        // Every character of the code page's upper half, each to its own byte.
        QString all;
        QByteArray expected;
        for (const QStringList &row : goldenRows("cp1250.tsv")) {
            all += QChar(char16_t(row[1].toUShort(nullptr, 16)));
            expected += char(row[0].toUShort(nullptr, 16));
        }
        QCOMPARE(ScriptFile::encode(all).toHex(' '), expected.toHex(' '));
    }

    // The writer's decision table as data: facts in, plan out.
    void savePlan()
    {
        using namespace SavePlan;
        using ScriptFile::Cause;
        using ScriptFile::Problem;
        const std::pair<const char *, bool Facts::*> flags[] = {
            {"plantedLink", &Facts::plantedLink},
            {"exists", &Facts::exists},
            {"shared", &Facts::shared},
            {"folderTakesNew", &Facts::folderTakesNew},
            {"folderAppendOnly", &Facts::folderAppendOnly},
            {"textTooLarge", &Facts::textTooLarge},
            {"ownerIsUser", &Facts::ownerIsUser},
            {"ownerIsFolderOwner", &Facts::ownerIsFolderOwner},
            {"readable", &Facts::readable},
            {"writable", &Facts::writable},
            {"locked", &Facts::locked},
            {"mountPoint", &Facts::mountPoint},
            {"setId", &Facts::setId},
            {"mayRestoreSetId", &Facts::mayRestoreSetId},
            {"capabilities", &Facts::capabilities},
            {"privileged", &Facts::privileged},
            {"newFileTakesIds", &Facts::newFileTakesIds},
            {"attributesReadable", &Facts::attributesReadable},
            {"sameBytes", &Facts::sameBytes},
            {"oldTooLarge", &Facts::oldTooLarge},
            {"empty", &Facts::empty},
            {"carryFailed", &Facts::carryFailed}};
        const std::pair<Problem, const char *> problems[] = {
            {Problem::LinkRefused, "LinkRefused"},
            {Problem::NotRegular, "NotRegular"},
            {Problem::TooLarge, "TooLarge"},
            {Problem::Failed, "Failed"},
            {Problem::Planted, "Planted"},
            {Problem::SharedLinks, "SharedLinks"},
            {Problem::KeepsPrivilege, "KeepsPrivilege"},
            {Problem::CannotKeepOld, "CannotKeepOld"}};
        const std::pair<Cause, const char *> causes[] = {{Cause::Denied, " Denied"},
                                                         {Cause::TooLarge, " TooLarge"}};
        const char *actions[] = {"refuse", "unchanged", "new file", "replace", "in place"};
        const QString own = "exists folderTakesNew ownerIsUser readable writable newFileTakesIds "
                            "attributesReadable";
        const QList<QStringList> rows = goldenRows("saveplan.tsv");
        QCOMPARE(rows.size(), 34);
        for (const QStringList &row : rows) {
            Facts f;
            for (const QString &flag : QString(row[1])
                                           .replace(QRegularExpression("\\bown\\b"), own)
                                           .split(' ', Qt::SkipEmptyParts)) {
                const QString name = flag.section('=', 0, 0).remove('-');
                if (name == "links")
                    f.links = flag.section('=', 1).toInt();
                else if (name == "kind")
                    f.kind = ScriptFile::Found::Fifo;
                for (const auto &[n, member] : flags)
                    if (name == n)
                        f.*member = !flag.startsWith('-');
            }
            const Plan p = decide(f);
            QString said = actions[int(p.action)];
            for (const auto &[problem, n] : problems)
                if (p.problem == problem)
                    said += QString(" ") + n;
            for (const auto &[cause, n] : causes)
                if (p.cause == cause)
                    said += n;
            said += QString(p.journalStays ? " journal stays" : "")
                + (p.restoreSetId ? " set-id back" : "");
            QVERIFY2(said == row[2], qPrintable(row[0] + ": " + said));
        }
    }
};

QTEST_GUILESS_MAIN(TestScript)
#include "tst_script.moc"
