#include "batch_workload.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Mode bits keep others out of a folder; the immutable flag keeps root out too.
void Lock(const QString &folder, bool locked)
{
    const QByteArray name = QFile::encodeName(folder);
    const int fd = open(name.constData(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (fd >= 0 && ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0) {
        flags = locked ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    if (fd >= 0)
        close(fd);
    chmod(name.constData(), locked ? 0555 : 0755);
}

testbmp::Bytes Gradient(int width, int height, std::uint32_t red)
{
    return testbmp::Picture24(width, height, [red](int x, int y) {
        return red << 16 | std::uint32_t(4 * x % 256) << 8 | std::uint32_t(5 * y % 256);
    });
}

} // namespace

BatchWorkload::BatchWorkload(const QString &path)
    : folder(path)
    , good(path + QStringLiteral("/good.bmp"))
    , missing(path + QStringLiteral("/missing.bmp"))
    , unwritable(path + QStringLiteral("/locked/unwritable.bmp"))
    , bad(path + QStringLiteral("/bad.bmp"))
    , second(path + QStringLiteral("/second.bmp"))
{
    testbmp::WriteFile(good, Gradient(48, 30, 10));
    QDir(path).mkdir(QStringLiteral("locked"));
    testbmp::WriteFile(unwritable, Gradient(48, 30, 50));
    Lock(path + QStringLiteral("/locked"), true);
    testbmp::BmpLayout zeroWidth;
    zeroWidth.width = 0;
    testbmp::WriteFile(bad, testbmp::BuildBmp(zeroWidth));
    testbmp::WriteFile(second, Gradient(37, 52, 200));
}

BatchWorkload::~BatchWorkload()
{
    Lock(folder + QStringLiteral("/locked"), false);
}

QString BatchWorkload::Summary() const
{
    return QStringLiteral("文件保存完成!\n其中:\n%1\n%2\n不存在或无法打开!没有保存!\n"
                          "其中:\n%3\n无法写入!没有保存!")
        .arg(missing, bad, unwritable);
}

std::map<std::string, testbmp::Bytes> BatchWorkload::Files() const
{
    std::map<std::string, testbmp::Bytes> files;
    for (const QString &sub : {QString(), QStringLiteral("locked/")})
        for (const QString &name :
             QDir(folder + QLatin1Char('/') + sub).entryList(QDir::Files | QDir::Hidden))
            files[(sub + name).toStdString()]
                = testbmp::ReadFile(folder + QLatin1Char('/') + sub + name);
    return files;
}

TextStyle HalfWhite()
{
    TextStyle style;
    style.text = QStringLiteral("Ab");
    style.textColor = RGB(255, 255, 255);
    style.alpha = 128;
    style.font.lfHeight = -14;
    return style;
}
