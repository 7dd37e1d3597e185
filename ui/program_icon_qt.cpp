#include "program_icon_qt.h"

#include "res/program_icon.h"

#include <QPixmap>

QImage ProgramIconImage(const IconImage &image)
{
    QImage qimage(image.size, image.size, QImage::Format_ARGB32);
    for (int y = 0; y < image.size; ++y) {
        auto *row = reinterpret_cast<QRgb *>(qimage.scanLine(y));
        for (int x = 0; x < image.size; ++x)
            row[x] = image.pixels[std::size_t(y) * std::size_t(image.size) + std::size_t(x)];
    }
    return qimage;
}

QIcon ProgramIcon()
{
    QIcon icon;
    for (const IconImage &image : ProgramIconImages())
        icon.addPixmap(QPixmap::fromImage(ProgramIconImage(image)));
    return icon;
}
