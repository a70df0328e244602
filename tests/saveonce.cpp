// Saves once into the working folder as Save does, for tst_savefaults, and prints
// the outcome's kinds as numbers, the reason in Czech and in English, and the
// growth of the process's peak resident memory in KiB, and the file it names.
// `saveonce N` saves N lines instead of 300; `saveonce recover` does what the
// program's start does and prints what it found and its message in both languages.
#include "i18n/language.h"
#include "i18n/messages.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>

static long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int main(int argc, char **argv)
{
    std::setlocale(LC_ALL, "");  // as QApplication does: the system locale, for what it words
    const ScriptFile::Folder folder = ScriptFile::Folder::current();
    if (argc > 1 && std::strcmp(argv[1], "recover") == 0) {
        const ScriptFile::Recovery r = ScriptFile::recover(folder);
        std::printf("%d\n", int(r.what));
        for (const int language : {1, 2}) {
            setLanguage(Language(language));
            auto m = Messages::recovered(r);
            std::printf("%s\n", m ? qPrintable(m->text.replace('\n', ' ')) : "");
        }
        return 0;
    }
    const long before = peakKiB();
    const int lines = argc > 1 ? std::atoi(argv[1]) : 300;
    const QString text = QString("bind w forward\r\n").repeated(lines) + QString::fromUtf8("ř");
    const ScriptFile::Outcome r = ScriptFile::save(folder, text);
    std::printf("%d %d\n", int(r.problem), int(r.old));
    for (const int language : {1, 2}) {
        setLanguage(Language(language));
        std::printf("%s\n", qPrintable(Messages::saveFailed(r).text.section("\n\n", 1)));
    }
    std::printf("%ld\n%s\n", peakKiB() - before, qPrintable(r.path));
    std::fflush(stdout);  // before a leak checker's report may end the process
}
