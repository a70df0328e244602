// Language dialog, caption table, help, about box, links and caption fit.
#include "about/aboutbox.h"
#include "i18n/languagedialog.h"
#include "i18n/messages.h"
#include "testkit.h"

#include <QAccessible>
#include <QDir>
#include <QStyle>

namespace {

// Every caption of one window by object name, "" for its title; dialogs
// parented to it are windows of their own.
using Texts = QMap<QString, QString>;
Texts captions(QWidget *window)
{
    Texts m{{"", window->windowTitle()}};
    for (QObject *o : window->findChildren<QObject *>()) {
        QObject *home = o->parent();
        while (home != window && !qobject_cast<QDialog *>(home))
            home = home->parent();
        const char *property = o->inherits("QMenu") || o->inherits("QGroupBox") ? "title" : "text";
        if (home == window && !o->objectName().isEmpty() && !o->objectName().startsWith("qt_")
            && o->property(property).isValid())
            m[o->objectName()] = o->property(property).toString();
    }
    return m;
}

// Where the texts differ: "name: actual / written down", one per difference.
QString differences(const Texts &actual, const Texts &expected)
{
    QStringList d;
    for (const QString &name : (actual.keys() + expected.keys()))
        if (actual.value(name, "<none>") != expected.value(name, "<none>") && !d.contains(name))
            d << name + ": " + actual.value(name, "<none>") + " / "
                    + expected.value(name, "<none>");
    return d.join('\n');
}

// The texts of one window ("main", "dialog" or "about") as written down: at
// design time (0), or after Czech (1) or English (2) was applied.
Texts golden(const QString &window, int language = 0)
{
    Texts texts;
    for (const QStringList &row : goldenRows("captions.tsv"))
        if (row[0] == window)
            texts[row[1]] = row[language == 1 ? 3 : language == 2 ? 4 : 2];
    return texts;
}

// Controls of one loaded window whose font is not the one written down.
QString fontDifferences(QWidget *window, const QString &name)
{
    QStringList d;
    for (const QStringList &row : goldenRows("fonts.tsv")) {
        if (row[0] != name)
            continue;
        const QFont f = child(window, qPrintable(row[1]))->font();
        QStringList want = row.mid(2);
#ifdef Q_OS_WIN  // where "MS Sans Serif" is a bitmap face: its TrueType successor
        want[0].replace("MS Sans Serif", "Microsoft Sans Serif");
#endif
        if (QStringList({f.family(), QString::number(f.pointSizeF()), QString::number(f.bold()),
                         QString::number(f.underline())})
            != want)
            d << row[1];
    }
    return d.join(' ');
}

bool isLinkStyled(QWidget *w)
{
    auto *l = qobject_cast<QLabel *>(w);
    return l->palette().color(QPalette::WindowText) == QColor(0, 0, 255) && l->font().bold()
        && l->font().underline() && l->size() == l->sizeHint();
}

}  // namespace

class TestI18n : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(); }
    void init() { setLanguage(Language::NotChosen); }

    void startAndReopen()
    {
        MainWindow f;
        f.applyCaptions();  // before a language is chosen: changes nothing
        QCOMPARE(differences(captions(&f), golden("main")), QString());
        QCOMPARE(differences(captions(new LanguageDialog(&f)), golden("dialog")), QString());
        TestResponder s;
        s.steps << [&](QWidget *w) {  // English before anything shows; Escape does not close
            QCOMPARE(language(), Language::English);
            QVERIFY(!f.isVisible() && (w->windowFlags() & Qt::Tool));
            QCOMPARE(differences(captions(w), golden("dialog", 2)), QString());
            QCOMPARE(differences(captions(&f), golden("main", 2)), QString());
            QCOMPARE(w->size(), QSize(159, 110));
            QTest::keyClick(w, Qt::Key_Escape);
            QVERIFY(w->isVisible());
            click(w, "Command1");
        };
        s.steps << [&](QWidget *w) {  // Czech at once, while the dialog is open, however often
            for (const char *option : {"Option2", "Option1", "Option1"})
                click(w, option);
            QCOMPARE(differences(captions(w), golden("dialog", 1)), QString());
            QCOMPARE(differences(captions(&f), golden("main", 1)), QString());
            click(w, "Command1");
        };
        s.steps << [&](QWidget *w) {  // and again on reopening; the close box keeps it
            QVERIFY(child(w, "Option1")->property("checked").toBool());
            QCOMPARE(differences(captions(w), golden("dialog", 1)), QString());
            w->close();
        };
        f.startUp();
        QVERIFY(isLinkStyled(child(&f, "Label15")));
        QCOMPARE(fontDifferences(&f, "main"), QString());
        QCOMPARE(child(&f, "Label15")->pos(), QPoint(8, 328));
        child<QAction>(&f, "lang")->trigger();
        f.chooseLanguage();
        QCOMPARE(s.stepsDone, 3);
        QCOMPARE(language(), Language::Czech);
        QCOMPARE(differences(captions(&f), golden("main", 1)), QString());
    }

    void helpFollowsLanguage()
    {
        MainWindow f;
        TestResponder modal;
        for (int language : {0, 1, 2}) {
            setLanguage(Language(language));
            child<QAction>(&f, "help1")->trigger();
        }
        QCOMPARE(modal.messages.size(), 2);
        for (int i : {0, 1})
            QCOMPARE(modal.messages[i].title + ": " + modal.messages[i].text,
                     goldenMessage("help", i + 1));
        QCOMPARE(modal.messages[1].icon, QMessageBox::Information);
    }

    // Where the file is saved but not confirmed, and what a start put right.
    void saveAndStartMessages()
    {
        ScriptFile::Outcome unsynced;
        unsynced.problem = ScriptFile::Problem::FolderUnsynced;
        unsynced.cause = ScriptFile::Cause::Io;
        unsynced.path = "/g/autoexec.cfg";
        ScriptFile::Recovery putBack{ScriptFile::Recovery::PutBack, {}, unsynced.path},
            failed{ScriptFile::Recovery::Failed, ScriptFile::Cause::Quota, unsynced.path};
        for (int language : {1, 2}) {
            setLanguage(Language(language));
            const auto text = [](const Messages::Message &m) { return m.title + ": " + m.text; };
            // The path with the system's separators.
            const QString path = QDir::toNativeSeparators(unsynced.path);
            QCOMPARE(text(Messages::saveFailed(unsynced)),
                     goldenMessage("saveUnsynced", language).arg(path));
            QCOMPARE(text(*Messages::recovered(putBack)),
                     goldenMessage("recoveredPutBack", language).arg(path));
            QCOMPARE(text(*Messages::recovered(failed)),
                     goldenMessage("recoveredFailed", language).arg(path));
        }
        QVERIFY(!Messages::recovered({}));
    }

    void aboutBoxAndLinks()
    {
        UrlRecorder recorder;
        MainWindow f;
        TestResponder s;
        QList<Texts> texts;
        auto look = [&](QWidget *a) {
            texts << captions(a);
            QCOMPARE(a->size(), QSize(327, 203));
            QVERIFY(isLinkStyled(child(a, "Label3")));  // after every opening
            QCOMPARE(fontDifferences(a, "about"), QString());
            QCOMPARE(child<QLabel>(a, "Image1")->pixmap().size(), QSize(64, 120));
            QCOMPARE(child<QLabel>(a, "Image2")->pixmap().size(), QSize(64, 38));
            for (const char *name : {"Image1", "Image2", "Label3"})
                for (int i = 0; i < 2; ++i)
                    QTest::mouseClick(child(a, name), Qt::LeftButton);
            QTest::keyClick(a, Qt::Key_Escape);
            QVERIFY(a->isVisible());
            a->close();
        };
        bool backInDialog = false;
        s.steps << look << [&](QWidget *w) {
            click(w, "Option1");
            click(w, "Command2");  // returns when the about box closes
            backInDialog = QApplication::activeModalWidget() == w
                && child(w, "Option1")->property("checked").toBool();
            w->close();
        } << look;
        setLanguage(Language::English);
        child<QAction>(&f, "about")->trigger();
        f.chooseLanguage();
        QCOMPARE(s.stepsDone, 3);
        QVERIFY(backInDialog);
        QCOMPARE(differences(texts.value(0), golden("about")),
                 QString());  // the same in English and Czech
        QCOMPARE(differences(texts.value(1), golden("about")), QString());
        QTest::mouseClick(child(&f, "Label15"), Qt::LeftButton);
        QAccessibleInterface *link = QAccessible::queryAccessibleInterface(child(&f, "Label15"));
        QCOMPARE(link->role(), QAccessible::Link);  // which a screen reader can follow too
        link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QStringList aboutClicks, mainClicks;  // two clicks on each
        for (const QStringList &row : goldenRows("links.tsv"))
            (row[0] == "about" ? aboutClicks : mainClicks) << row[2] << row[2];
        QCOMPARE(recorder.urls, aboutClicks + aboutClicks + mainClicks);
    }

    void designGeometry()
    {
        MainWindow f;
        LanguageDialog d(&f);
        AboutBox a;
        const QMap<QString, QWidget *> windows{{"main", &f}, {"dialog", &d}, {"about", &a}};
        QStringList moved;
        for (const QStringList &g : goldenRows("geometry.tsv")) {
            const QRect r = child(windows[g[0]], qPrintable(g[1]))->geometry();
            if (r != QRect(g[2].toInt(), g[3].toInt(), g[4].toInt(), g[5].toInt()))
                moved << QStringLiteral("%1 %2 at %3,%4 %5x%6")
                             .arg(g[0], g[1])
                             .arg(r.x())
                             .arg(r.y())
                             .arg(r.width())
                             .arg(r.height());
        }
        QVERIFY2(moved.isEmpty(), qPrintable(moved.join("; ")));
        QCOMPARE(child<QTimer>(&f, "Timer1")->interval(), 10);
    }

    void captionsFit()
    {
        for (int language : {1, 2}) {
            setLanguage(Language(language));
            MainWindow f;
            LanguageDialog d;
            AboutBox a;
            d.applyCaptions();
            f.applyCaptions();
            QStringList clipped;
            for (QWidget *window : std::initializer_list<QWidget *>{&f, &d, &a})
                for (QWidget *w : window->findChildren<QWidget *>()) {
                    const QFontMetrics fm = w->fontMetrics();
                    const QString text = captions(window).value(w->objectName());
                    int need = fm.horizontalAdvance(text);
                    if (w->inherits("QRadioButton") || w->inherits("QCheckBox"))
                        need = w->sizeHint().width();
                    else
                        need += w->inherits("QPushButton") ? 8 : w->inherits("QGroupBox") ? 12 : 0;
                    const bool cut = w->inherits("QRadioButton")
                        && w->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, w)
                            >= w->height();
                    if (!w->inherits("QLineEdit") && !text.isEmpty()
                        && (need > w->width() || fm.height() > w->height() + 1 || cut))
                        clipped << QStringLiteral("%1 needs %2 of %3")
                                       .arg(w->objectName())
                                       .arg(need)
                                       .arg(w->width());
                }
            QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join("; ")));
        }
    }
};

QTEST_MAIN(TestI18n)
#include "tst_i18n.moc"
