// Saves once into the working folder as Save does, for tst_savefaults, and prints
// the outcome's kinds as numbers, the reason in Czech and in English, and the
// growth of the process's peak resident memory in KiB.
#include "i18n/language.h"
#include "i18n/messages.h"

#include <cstdio>
#include <sys/resource.h>

static long peakKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int main()
{
    const long before = peakKiB();
    const QString text = QString("bind w forward\r\n").repeated(300) + QString::fromUtf8("ř");
    const ScriptFile::Outcome r = ScriptFile::save(ScriptFile::Folder::current(), text);
    std::printf("%d %d\n", int(r.problem), int(r.old));
    for (const int language : {1, 2}) {
        setLanguage(Language(language));
        std::printf("%s\n", qPrintable(Messages::saveFailed(r).text.section("\n\n", 1)));
    }
    std::printf("%ld\n", peakKiB() - before);
    std::fflush(stdout);  // before a leak checker's report may end the process
}
