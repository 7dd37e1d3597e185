// Writes the program's icon as the PNG files of a desktop icon theme, from the same pixels as
// the icon compiled into the program: DIR/<N>x<N>/apps/NAME.png for each of its sizes.

#include "res/program_icon.h"
#include "ui/program_icon_qt.h"

#include <QDir>
#include <QString>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DIR NAME\n", argv[0]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);
    for (const IconImage &image : ProgramIconImages()) {
        const QString folder
            = QStringLiteral("%1/%2x%2/apps").arg(dir, QString::number(image.size));
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(folder) || !ProgramIconImage(image).save(path, "PNG")) {
            std::fprintf(stderr, "%s: cannot write %s\n", argv[0], qPrintable(path));
            return 1;
        }
    }
    return 0;
}
