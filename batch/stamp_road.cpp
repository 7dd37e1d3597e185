#include "stamp_road.h"

#include "image/bmp_writer.h"

StampOutcome StampFile(DibImage &image, const QString &source, const QString &target,
                       const ComposeStep &compose)
{
    image.Clear();
    if (!image.Load(source))
        return {false, QStringLiteral("cannot read: %1").arg(image.GetLoadError()),
                StampFailure::Read};
    // The display's own format: 32 bits per pixel.
    Surface surface(image.GetWidth(), image.GetHeight(), 32);
    if (surface.IsNull())
        return {false, QStringLiteral("not enough memory for the picture"), StampFailure::Memory};
    image.Draw(surface);
    if (compose)
        compose(surface, image);
    if (!WriteBmpFile(surface, target, image.GetWidth(), image.GetHeight()))
        return {false, QStringLiteral("cannot write %1").arg(target), StampFailure::Write};
    return {true, {}};
}
