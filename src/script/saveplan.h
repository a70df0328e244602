#pragma once

#include "scriptfile.h"

#include <QByteArray>
#include <functional>
#include <optional>

// How a save writes: the facts gathered about the name, the folder and the old
// file turn into one plan, which the platform's file (nativefile.h) carries out.
namespace SavePlan {

struct Facts {
    // The name, links followed as the kernel would.
    bool plantedLink = false;  // a link another user placed in a shared folder
    bool exists = false;
    ScriptFile::Found kind = ScriptFile::Found::Regular;
    // The folder that holds the file.
    bool shared = false;          // sticky, and everyone may write to it
    bool folderTakesNew = false;  // this user may add and remove names in it
    bool folderAppendOnly = false;
    bool textTooLarge = false;  // the text, or the journal, exceeds the file-size limit
    // The old file.
    bool ownerIsUser = false;
    bool ownerIsFolderOwner = false;
    int links = 1;
    bool readable = false;
    bool writable = false;
    bool locked = false;      // immutable or append-only
    bool mountPoint = false;  // a file mounted over the name
    bool setId = false;       // set-user-ID or set-group-ID bit
    bool mayRestoreSetId = false;
    bool capabilities = false;
    bool privileged = false;       // may take any owner, group and attribute
    bool newFileTakesIds = false;  // a new file here may take its owner and group
    bool attributesReadable = false;
    bool sameBytes = false;    // it holds the text already
    bool oldTooLarge = false;  // larger than a save keeps a copy of
    bool empty = false;
    // Learnt only by trying: a new file did not take all that the old one carries.
    bool carryFailed = false;
};

enum class Action { Refuse, Unchanged, NewFile, Replace, InPlace };

struct Plan {
    Action action = Action::Refuse;
    ScriptFile::Problem problem = ScriptFile::Problem::None;  // Refuse
    ScriptFile::Cause cause = ScriptFile::Cause::None;        // Refuse
    bool journalStays = false;  // InPlace: the folder keeps names; the journal is emptied
    bool restoreSetId = false;  // InPlace: the set-id bits and capabilities are put back
    bool operator==(const Plan &o) const
    {
        return action == o.action && problem == o.problem && cause == o.cause
            && journalStays == o.journalStays && restoreSetId == o.restoreSetId;
    }
};

// The decision table: see saveplan.cpp.
Plan decide(const Facts &f);

// The largest old file that a save in place keeps a copy of; larger ones are refused.
constexpr qint64 MaxKept = 16 * 1024 * 1024;

// The journal of a save in place: a header, the old file's bytes, and a
// SHA-1 of both. It is complete and on disk before the old file changes.
struct JournalHead {
    qint64 length = 0;             // the old file's
    quint32 mode = 0;              // its permission bits (set-id bits among them), or attributes
    quint64 device = 0, file = 0;  // which file it belongs to
};
constexpr int JournalHeadSize = 40;
constexpr int JournalSumSize = 20;
QByteArray journalHead(const JournalHead &h);
std::optional<JournalHead> readJournalHead(QByteArrayView bytes);
// The header of a journal `size` bytes long, when all of it is there and its
// sum is right; `read(at, n, &bytes)` reads n bytes at `at`, false on an error.
using ReadAt = std::function<bool(qint64 at, qsizetype n, QByteArray *bytes)>;
std::optional<JournalHead> checkJournal(qint64 size, const ReadAt &read);

// A failed step's outcome: the problem given, or the one its cause names (no
// room, too large), with the cause and what became of the old file.
ScriptFile::Outcome outcome(ScriptFile::Problem problem, ScriptFile::Cause cause,
                            ScriptFile::OldFile old);
ScriptFile::Outcome failure(ScriptFile::Cause cause, ScriptFile::OldFile old);

}  // namespace SavePlan
