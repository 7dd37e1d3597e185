#include "atomic_file.h"

#include "file_read.h"

#include <QFile>
#include <QRandomGenerator>

#include <mutex>

#include <cerrno>
#include <cstdlib>
#include <utility>

#include <fcntl.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

QByteArray FolderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// A short name, so that any name the file system takes for the target can be replaced.
QByteArray TemporaryName()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray name = QByteArrayLiteral(".velmora-XXXXXX.tmp");
    for (qsizetype i = 9; i < 15; ++i)
        name[i] = kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)];
    return name;
}

std::mutex g_syncTurn;

// One flush to disk, in turn with every other flush in the process: two at once, from runs on
// several threads, take the disk longer than the same two in turn. Nothing else in a commit
// waits for the turn; on a memory file system that is all of its cost. 0 or the errno.
int SyncInTurn(int (*sync)(int), int fd)
{
    const std::lock_guard turn(g_syncTurn);
    return sync(fd) == 0 ? 0 : errno;
}

// Makes the folder's entry for the renamed file durable. A file system that cannot sync a
// folder says EINVAL; its entries are as durable as it can make them.
int SyncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int error = SyncInTurn(::fsync, fd);
    const int result = error == EINVAL ? 0 : error;
    ::close(fd);
    return result;
}

} // namespace

AtomicFile::AtomicFile(const QString &path, LinkAtTarget links)
    : m_path(path)
    , m_links(links)
{ }

AtomicFile::~AtomicFile()
{
    Discard();
}

bool AtomicFile::Open()
{
    if (Failed() || m_fd >= 0 || m_committed)
        return false;
    m_target = QFile::encodeName(m_path);
    if (m_links == LinkAtTarget::Follow) {
        if (char *real = ::realpath(m_target.constData(), nullptr)) {
            m_target = real;
            std::free(real);
        } else if (errno != ENOENT) {
            return FailWith(errno);
        }
    }
    if (::lstat(m_target.constData(), &m_old) == 0) {
        if (S_ISLNK(m_old.st_mode)) {
            Fail(QStringLiteral("a symbolic link stands at that name and is not followed"));
            return false;
        }
        if (!S_ISREG(m_old.st_mode)) {
            Fail(QStringLiteral("not a regular file"));
            return false;
        }
        m_replacing = true;
    } else if (errno != ENOENT) {
        return FailWith(errno);
    }
    // A replaced file's contents stay private to us until its own mode is set at the end.
    const mode_t mode = m_replacing ? 0600 : 0666;
    const QByteArray folder = FolderOf(m_target) + '/';
    for (int attempt = 0; m_fd < 0; ++attempt) {
        m_temporary = folder + TemporaryName();
        m_fd = ::open(m_temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (m_fd < 0 && (errno != EEXIST || attempt == 100)) {
            m_temporary.clear();
            return FailWith(errno);
        }
    }
    return true;
}

bool AtomicFile::Write(const void *data, std::size_t size)
{
    if (Failed() || m_fd < 0)
        return false;
    const char *at = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = ::write(m_fd, at, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) // a disk that takes nothing more is full
            return FailWith(n < 0 ? errno : ENOSPC);
        at += n;
        size -= std::size_t(n);
    }
    return true;
}

void AtomicFile::StartWriteBack()
{
    if (m_fd >= 0)
        ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
}

bool AtomicFile::Commit()
{
    if (Failed() || m_fd < 0)
        return false;
    if (m_replacing && !CopyOwnerModeAndAttributes())
        return false;
    if (const int error = SyncInTurn(::fdatasync, m_fd))
        return FailWith(error);
    // Linux frees the descriptor even when close fails, and EINTR loses no data.
    if (::close(std::exchange(m_fd, -1)) != 0 && errno != EINTR)
        return FailWith(errno);
    // The replaced file is held past the rename, until this object is dropped: freeing its pages
    // then neither holds the folder's lock, which the next file's temporary waits for, nor
    // falls to the thread that committed.
    if (m_replacing)
        m_replaced = ::open(m_target.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (::rename(m_temporary.constData(), m_target.constData()) != 0)
        return FailWith(errno);
    m_temporary.clear();
    m_committed = true;
    // The new file is in place; a folder that cannot be synced may still bring the old one back
    // after a power loss, so that is a failure too.
    if (const int error = SyncFolder(FolderOf(m_target)))
        return FailWith(error);
    return true;
}

bool AtomicFile::CopyOwnerModeAndAttributes()
{
    mode_t mode = m_old.st_mode & 07777;
    if (::fchown(m_fd, m_old.st_uid, m_old.st_gid) != 0) {
        if (errno != EPERM)
            return FailWith(errno);
        // Only root may give a file away: it becomes ours, as a copy would, keeping its group
        // where we may give it. A set-id bit does not go to an owner it was not meant for.
        if (m_old.st_uid != ::geteuid())
            mode &= ~S_ISUID;
        if (::fchown(m_fd, uid_t(-1), m_old.st_gid) != 0)
            mode &= ~S_ISGID;
    }
    if (::fchmod(m_fd, mode) != 0)
        return FailWith(errno);

    // Extended attributes (access lists, labels, user data) go where the file system takes
    // them; only a full or failing disk stops the write.
    const ssize_t listed = ::llistxattr(m_target.constData(), nullptr, 0);
    QByteArray names(listed > 0 ? listed : 0, '\0');
    if (names.isEmpty() || ::llistxattr(m_target.constData(), names.data(), names.size()) < 0)
        return true;
    for (const QByteArray &name : names.split('\0')) {
        const ssize_t size
            = name.isEmpty() ? -1 : ::lgetxattr(m_target.constData(), name.constData(), nullptr, 0);
        QByteArray value(size > 0 ? size : 0, '\0');
        if (size < 0
            || ::lgetxattr(m_target.constData(), name.constData(), value.data(), value.size())
                != size)
            continue;
        if (::fsetxattr(m_fd, name.constData(), value.constData(), value.size(), 0) != 0
            && (errno == ENOSPC || errno == EDQUOT || errno == EIO))
            return FailWith(errno);
    }
    return true;
}

void AtomicFile::Fail(const QString &reason)
{
    if (!Failed())
        m_error = reason;
    Discard();
}

bool AtomicFile::FailWith(int error)
{
    Fail(SystemReason(error));
    return false;
}

void AtomicFile::Discard()
{
    if (m_fd >= 0)
        ::close(std::exchange(m_fd, -1));
    if (m_replaced >= 0)
        ::close(std::exchange(m_replaced, -1));
    if (!m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
    m_temporary.clear();
}
