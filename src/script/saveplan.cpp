#include "saveplan.h"

#include <QCryptographicHash>
#include <QtEndian>

// The decision table: the first row whose facts hold gives the plan.
//
//      facts                                                 plan
//  --  ----------------------------------------------------  ------------------------------------
//   1  a link that another user placed in a sticky,          refuse: LinkRefused
//        world-writable ("shared") folder
//   2  something other than a regular file at the name       refuse: NotRegular
//   3  the text, or the journal, beyond the file-size limit  refuse: TooLarge
//   4  nothing, and the folder takes no new names            refuse: Failed, Denied
//   5  nothing                                               new file
//   6  a file of neither this user nor the shared folder's   refuse: Planted
//        owner, in a shared folder
//   7  a file with more than one name in a shared folder     refuse: SharedLinks
//   8  a file this user may not write, immutable or          refuse: Failed, Denied
//        append-only
//   9  a file that holds the text already                    unchanged: synced only
//  10  capabilities, and this user may not give them back    refuse: KeepsPrivilege
//  11  one name, no mount over it, a folder that takes and   replace: a new file renamed over it
//        removes names, a new file there may take the
//        owner and group, the attributes can be read, and
//        a new file did take them all (learnt by trying)
//      -- from here on only a rewrite in place is possible --
//  12  a file this user may not read, not empty              refuse: CannotKeepOld, Denied
//  13  larger than a save keeps a copy of                    refuse: CannotKeepOld, TooLarge
//  14  a folder that takes no new names (no journal)         refuse: CannotKeepOld, Denied
//  15  set-id bits this user may not put back                refuse: KeepsPrivilege
//  16  any other file                                        in place: journal, write, truncate,
//                                                              set-id bits back, journal removed
//                                                              (emptied in an append-only folder)

namespace SavePlan {

using ScriptFile::Cause;
using ScriptFile::Problem;

namespace {

Plan refuse(Problem problem, Cause cause = Cause::None)
{
    Plan p;
    p.problem = problem;
    p.cause = cause;
    return p;
}

Plan act(Action action)
{
    Plan p;
    p.action = action;
    return p;
}

}  // namespace

Plan decide(const Facts &f)
{
    if (f.plantedLink)
        return refuse(Problem::LinkRefused);
    if (f.exists && f.kind != ScriptFile::Found::Regular)
        return refuse(Problem::NotRegular);
    if (f.textTooLarge)
        return refuse(Problem::TooLarge, Cause::TooLarge);
    if (!f.exists)
        return f.folderTakesNew ? act(Action::NewFile) : refuse(Problem::Failed, Cause::Denied);
    if (f.shared && !f.ownerIsUser && !f.ownerIsFolderOwner)
        return refuse(Problem::Planted);
    if (f.shared && f.links > 1)
        return refuse(Problem::SharedLinks);
    if (!f.writable || f.locked)
        return refuse(Problem::Failed, Cause::Denied);
    if (f.sameBytes)
        return act(Action::Unchanged);
    if (f.capabilities && !f.privileged)
        return refuse(Problem::KeepsPrivilege);
    if (f.links == 1 && !f.mountPoint && f.folderTakesNew && !f.folderAppendOnly
        && f.newFileTakesIds && f.attributesReadable && !f.carryFailed)
        return act(Action::Replace);
    if (!f.readable && !f.empty)
        return refuse(Problem::CannotKeepOld, Cause::Denied);
    if (f.oldTooLarge)
        return refuse(Problem::CannotKeepOld, Cause::TooLarge);
    if (!f.folderTakesNew)
        return refuse(Problem::CannotKeepOld, Cause::Denied);
    if (f.setId && !f.mayRestoreSetId)
        return refuse(Problem::KeepsPrivilege);
    Plan p = act(Action::InPlace);
    p.journalStays = f.folderAppendOnly;
    p.restoreSetId = f.setId || f.capabilities;
    return p;
}

namespace {
constexpr char Magic[8] = {'Q', 'R', 'L', 'J', 'R', 'N', 'L', '1'};
}

QByteArray journalHead(const JournalHead &h)
{
    QByteArray out(JournalHeadSize, '\0');
    char *p = out.data();
    std::copy(Magic, Magic + 8, p);
    qToLittleEndian<qint64>(h.length, p + 8);
    qToLittleEndian<quint32>(h.mode, p + 16);
    qToLittleEndian<quint64>(h.device, p + 24);
    qToLittleEndian<quint64>(h.file, p + 32);
    return out;
}

std::optional<JournalHead> readJournalHead(QByteArrayView bytes)
{
    if (bytes.size() < JournalHeadSize || !bytes.startsWith(QByteArrayView(Magic, 8)))
        return std::nullopt;
    const char *p = bytes.data();
    JournalHead h;
    h.length = qFromLittleEndian<qint64>(p + 8);
    h.mode = qFromLittleEndian<quint32>(p + 16);
    h.device = qFromLittleEndian<quint64>(p + 24);
    h.file = qFromLittleEndian<quint64>(p + 32);
    if (h.length < 0 || h.length > MaxKept)
        return std::nullopt;
    return h;
}

std::optional<JournalHead> checkJournal(qint64 size, const ReadAt &read)
{
    constexpr qint64 Chunk = 64 * 1024;
    QByteArray head, sum;
    if (!read(0, JournalHeadSize, &head))
        return std::nullopt;
    const auto h = readJournalHead(head);
    const qint64 body = JournalHeadSize + (h ? h->length : 0);
    if (!h || size != body + JournalSumSize || !read(body, JournalSumSize, &sum))
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    QByteArray chunk;
    for (qint64 at = 0; at < body; at += chunk.size()) {
        if (!read(at, qsizetype(std::min(Chunk, body - at)), &chunk) || chunk.isEmpty())
            return std::nullopt;
        hash.addData(chunk);
    }
    return hash.result() == sum ? h : std::nullopt;
}

ScriptFile::Outcome outcome(Problem problem, Cause cause, ScriptFile::OldFile old)
{
    ScriptFile::Outcome r;
    r.problem = problem;
    r.cause = cause;
    r.old = old;
    return r;
}

ScriptFile::Outcome failure(Cause cause, ScriptFile::OldFile old)
{
    switch (cause) {
    case Cause::NoSpace:
    case Cause::Quota: return outcome(Problem::NoSpace, cause, old);
    case Cause::TooLarge: return outcome(Problem::TooLarge, cause, old);
    default: return outcome(Problem::Failed, cause, old);
    }
}

}  // namespace SavePlan
