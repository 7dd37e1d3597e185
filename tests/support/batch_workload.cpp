#include "batch_workload.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

BatchWorkload::BatchWorkload(const QString &path)
    : folder(path)
{
    testbmp::WriteFile(good, testbmp::Picture24(48, 30, testbmp::Pattern));
    testbmp::WriteFile(second, testbmp::Picture24(37, 52, testbmp::Pattern));
    testbmp::WriteFile(bad, {'B', 'M'});
    QDir(path).mkdir("locked");
    QFile::copy(good, unwritable);
    Lock(true);
}

// Mode bits keep others out of the subfolder; the immutable flag keeps root out too.
void BatchWorkload::Lock(bool locked) const
{
    const QByteArray name = QFile::encodeName(folder + "/locked");
    const int fd = open(name, O_RDONLY | O_DIRECTORY);
    int flags = 0;
    ioctl(fd, FS_IOC_GETFLAGS, &flags);
    flags = locked ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
    ioctl(fd, FS_IOC_SETFLAGS, &flags);
    close(fd);
    chmod(name, locked ? 0555 : 0755);
}

QString BatchWorkload::Summary() const
{
    return QString("文件保存完成!\n其中:\n%1\n%2\n不存在或无法打开!没有保存!\n其中:\n%3\n无法写入!"
                   "没有保存!")
        .arg(missing, bad, unwritable);
}

std::map<std::string, testbmp::Bytes> BatchWorkload::Files(const QStringList &subs) const
{
    std::map<std::string, testbmp::Bytes> files;
    for (const QString &sub : subs)
        for (const QString &name : QDir(folder + '/' + sub).entryList(QDir::Files | QDir::Hidden))
            files[(sub + name).toStdString()] = testbmp::ReadFile(folder + '/' + sub + name);
    return files;
}

TextStyle HalfWhite()
{
    TextStyle style;
    style.text = "Ab";
    style.textColor = RGB(255, 255, 255);
    style.alpha = 128;
    style.font.lfHeight = -14;
    return style;
}
