#include "small_disk.h"

#include <QFile>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

SmallDisk::SmallDisk(const QString &path, const char *size)
    : folder(QFile::encodeName(path))
    , mounted(geteuid() == 0
              && mount("velmora-test", folder, "tmpfs", 0, "size=" + QByteArray(size)) == 0)
{ }

SmallDisk::~SmallDisk()
{
    if (mounted)
        umount2(folder, MNT_DETACH);
}

void SmallDisk::Fill() const
{
    struct statvfs free;
    const int fd = open(folder + "/filler", O_WRONLY | O_CREAT, 0600);
    if (fstatvfs(fd, &free) == 0)
        posix_fallocate(fd, 0, off_t(free.f_bavail * free.f_frsize));
    close(fd);
}
