#include "stamp_road.h"

namespace {

StampOutcome CannotWrite(const QString &target)
{
    return {false, QStringLiteral("cannot write %1").arg(target), StampFailure::Write};
}

} // namespace

StampOutcome StampFile(DibImage &image, const QString &source, const QString &target,
                       const ComposeStep &compose)
{
    std::unique_ptr<PendingBmpFile> pending;
    StampOutcome outcome = StampFileUncommitted(image, source, target, compose, pending);
    if (outcome.ok && !pending->Commit())
        return CannotWrite(target);
    return outcome;
}

StampOutcome StampFileUncommitted(DibImage &image, const QString &source, const QString &target,
                                  const ComposeStep &compose,
                                  std::unique_ptr<PendingBmpFile> &pending, int bitsPerPixel)
{
    pending.reset();
    image.Clear();
    if (!image.Load(source))
        return {false, QStringLiteral("cannot read %1: %2").arg(source, image.GetLoadError()),
                StampFailure::Read};
    // The display's own format: 32 bits per pixel.
    Surface surface(image.GetWidth(), image.GetHeight(), 32);
    if (surface.IsNull())
        return NoMemory(source);
    image.Draw(surface);
    if (compose && !compose(surface, image))
        return ComposeFailure(source);
    // Another depth is taken from the finished picture, so that its colours are the 32-bit
    // file's, cut to the depth.
    if (bitsPerPixel != surface.BitsPerPixel()) {
        Surface converted(surface.Width(), surface.Height(), bitsPerPixel);
        if (converted.IsNull())
            return NoMemory(source);
        converted.BitBlt(0, 0, surface.Width(), surface.Height(), surface, 0, 0);
        surface = std::move(converted);
    }
    pending = WriteBmpFileUncommitted(surface, target, image.GetWidth(), image.GetHeight());
    if (!pending)
        return CannotWrite(target);
    return {true, {}};
}

StampOutcome CommitFailure(const QString &target)
{
    return CannotWrite(target);
}

StampOutcome ComposeFailure(const QString &source)
{
    return {false,
            QStringLiteral("cannot stamp %1: the text cannot be drawn on the picture (too large, "
                           "or not enough memory)")
                .arg(source),
            StampFailure::Compose};
}

StampOutcome NoMemory(const QString &source)
{
    return {false, QStringLiteral("cannot stamp %1: not enough memory for the picture").arg(source),
            StampFailure::Memory};
}
