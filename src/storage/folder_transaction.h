// SPDX-License-Identifier: MIT
#pragma once
// A change of several files of one folder as one transaction: killed at any instant, the next
// change of the folder finds what was left and undoes it, so the folder is either as it was or
// as the change made it, never between.
//
// The change is planned as steps, written to a journal in the folder (".tessivane-folder-
// change", synced, with a digest of itself) before the first step is done:
//   - set aside: a file is renamed to a fresh ".tessivane-aside-…" name, which keeps its bytes,
//     its inode and hard links, owner, mode and attributes;
//   - write: a new file is written under a scratch name, synced and renamed to its name; it takes
//     what a file set aside had besides its content, when one is named;
//   - copy: a new name for the content of a file set aside (a hard link, or a copy where the
//     volume has none);
//   - attributes: the Windows attribute bits of the folder or of a file that stays.
// Committing marks the journal done, then removes what was set aside and the journal. Rolling
// back walks the steps backwards: files set aside go back under their names, new files whose
// bytes are still as written go, attributes get their old bits. A journal marked done is
// finished instead. Both are safe to repeat, so a change killed while rolling back is settled
// by the next one.
//
// One change per folder at a time: a lock on the folder is held from before the journal is read
// until the change is committed or rolled back. SIGTERM, SIGINT and SIGHUP are held back while
// it runs; one that comes before the commit rolls the change back, and is then handed to the
// caller with the outcome, as is one that comes after.
//
// A journal found in the folder is trusted only when it is a regular file with one link, whole
// by its digest, and, on volumes that keep Unix owners and modes, owned by this user and
// writable by no one else. Anything else is reported and left alone.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QString>

#include "storage/descriptor.h"

namespace tessivane {

// The name the journal has in the folder.
inline constexpr char kFolderJournalName[] = ".tessivane-folder-change";

struct FolderStep {
    enum class Kind { SetAside, Write, Copy, Attributes };
    Kind kind = Kind::Write;
    std::string name;  // the file of the folder; "." for the folder itself
    // Write: the bytes, and the file set aside whose owner, mode and attributes it takes ("" for
    // none). Copy: the file set aside whose content it names.
    std::string bytes;
    std::string like;
    unsigned setBits = 0;  // Write, Attributes: Windows attribute bits set and cleared
    unsigned clearBits = 0;

    // Filled in by the transaction.
    std::string aside;       // SetAside: the name the file was given
    std::string digest;      // Write, Copy: of the new file's bytes
    long long oldBits = -1;  // Attributes: the bits before; -1 where the volume keeps none
};

struct FolderChangeOutcome {
    enum class Kind {
        Done,
        Busy,            // another change of the folder did not end in time
        Untrusted,       // an unfinished change was found that is not ours to settle
        Failed,          // a step failed; the change was rolled back
        Stopped,         // a signal came before the commit; the change was rolled back
        RollbackFailed,  // ... and rolling it back failed too: the journal stays
    };
    Kind kind = Kind::Done;
    QString path;                 // Failed: the file concerned
    QString reason;               // Failed: the system's words; RollbackFailed: what is left where
    int signal = 0;               // a signal that came while the change ran, whatever the outcome
    bool settledEarlier = false;  // a change that an earlier run left unfinished was settled
};

class FolderTransaction {
public:
    // Takes the folder's lock (waiting a few seconds for another change to end) and settles an
    // unfinished change left in it; outcome() says whether that went well.
    FolderTransaction(int folder, QString folderPath);
    ~FolderTransaction();
    FolderTransaction(const FolderTransaction&) = delete;
    FolderTransaction& operator=(const FolderTransaction&) = delete;

    const FolderChangeOutcome& outcome() const { return outcome_; }

    // Records the steps, does them in order and commits; on any failure or a signal, rolls back.
    FolderChangeOutcome run(std::vector<FolderStep> steps);

private:
    int folder_;
    QString folderPath_;
    bool locked_ = false;
    FolderChangeOutcome outcome_;
};

// Called with a running number at each point of a change where stopping the process would leave
// the folder otherwise than the point before: after the journal is written, after each step,
// after the commit mark, and after each step rolled back. Tests set it to kill or signal the
// process there; the programs leave it empty.
extern void (*folderChangeCheckpoint)(int point);

// The SHA-256 of the bytes, as 64 lower-case hex digits.
std::string sha256Hex(const std::string& bytes);

}  // namespace tessivane
