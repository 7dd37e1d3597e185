#include "batch_workload.h"

#include <QDir>

namespace {

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
    , unwritable(path + QLatin1Char('/') + QString(251, QLatin1Char('u')) + QStringLiteral(".bmp"))
    , bad(path + QStringLiteral("/bad.bmp"))
    , second(path + QStringLiteral("/second.bmp"))
{
    testbmp::WriteFile(good, Gradient(48, 30, 10));
    testbmp::WriteFile(unwritable, Gradient(48, 30, 50));
    testbmp::BmpLayout zeroWidth;
    zeroWidth.width = 0;
    testbmp::WriteFile(bad, testbmp::BuildBmp(zeroWidth));
    testbmp::WriteFile(second, Gradient(37, 52, 200));
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
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        files[name.toStdString()] = testbmp::ReadFile(folder + QLatin1Char('/') + name);
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
