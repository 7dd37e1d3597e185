#include "small_disk.h"

#include <QFile>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

SmallDisk::SmallDisk(const QString &folder, const char *size)
    : m_folder(QFile::encodeName(folder))
    , m_mounted(geteuid() == 0
                && mount("velmora-test", m_folder.constData(), "tmpfs", 0,
                         (QByteArrayLiteral("size=") + size).constData())
                    == 0)
{ }

SmallDisk::~SmallDisk()
{
    if (m_mounted)
        umount2(m_folder.constData(), MNT_DETACH);
}

void SmallDisk::Fill() const
{
    struct statvfs free;
    const int fd = open((m_folder + "/filler").constData(), O_WRONLY | O_CREAT, 0600);
    if (fd >= 0 && fstatvfs(fd, &free) == 0)
        posix_fallocate(fd, 0, off_t(free.f_bavail * free.f_frsize));
    close(fd);
}
