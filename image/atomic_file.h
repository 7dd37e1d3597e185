#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

#include <sys/stat.h>

// What a write does with a symbolic link that already stands at the target's name.
enum class LinkAtTarget {
    // An output name: a link there may have been planted by someone else (a shared folder), so
    // it is never followed and the write is refused.
    Refuse,
    // The file being stamped in place: the link stays and the file it leads to is replaced.
    Follow,
};

// A file replaced atomically. The bytes go to a temporary beside the target, named
// ".velmora-XXXXXX.tmp" so that one left by a killed run can be found; every write is checked.
// Commit gives the temporary the replaced file's owner, group, mode bits and extended
// attributes, syncs it, renames it over the target and syncs the folder. Until Commit succeeds
// the target is exactly as it was; a file dropped uncommitted removes its temporary.
//
// After the first failure every call does nothing and returns false; Error() says why, in the
// system's words. One thread at a time may use an object, not necessarily the one that made it.
// The replaced file's space is given back when the object is destroyed, by the thread that
// destroys it: drop the object soon after Commit.
class AtomicFile
{
public:
    AtomicFile(const QString &path, LinkAtTarget links);
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;
    ~AtomicFile();

    // Makes the temporary. False when the target may not or cannot be replaced.
    bool Open();
    bool Write(const void *data, std::size_t size);
    // Asks the disk to start on what is written so far; only a hint, so nothing is checked.
    void StartWriteBack();
    // The last step, once: true when the new file is in place.
    bool Commit();
    // Ends the write without touching the target, with the reason given.
    void Fail(const QString &reason);

    bool Failed() const { return !m_error.isEmpty(); }
    const QString &Error() const { return m_error; }
    // The replaced file had other hard links; those names keep the old contents.
    bool HadOtherLinks() const { return m_replacing && m_old.st_nlink > 1; }

private:
    bool FailWith(int error);
    bool CopyOwnerModeAndAttributes();
    void Discard();

    QString m_path;
    LinkAtTarget m_links;
    QByteArray m_target;    // the file replaced, after any link was followed
    QByteArray m_temporary; // empty until made
    int m_fd = -1;
    int m_replaced = -1;      // the file replaced, held from the rename until this object goes
    bool m_replacing = false; // a file stands at the target
    struct stat m_old
    {
    }; // that file, when m_replacing
    bool m_committed = false;
    QString m_error;
};
