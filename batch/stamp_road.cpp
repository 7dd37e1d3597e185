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
                                  std::unique_ptr<PendingBmpFile> &pending)
{
    pending.reset();
    image.Clear();
    if (!image.Load(source))
        return {false, QStringLiteral("cannot read: %1").arg(image.GetLoadError()),
                StampFailure::Read};
    // The display's own format: 32 bits per pixel.
    Surface surface(image.GetWidth(), image.GetHeight(), 32);
    if (surface.IsNull())
        return {false, QStringLiteral("not enough memory for the picture"), StampFailure::Memory};
    image.Draw(surface);
    if (compose && !compose(surface, image))
        return ComposeFailure();
    pending = WriteBmpFileUncommitted(surface, target, image.GetWidth(), image.GetHeight());
    if (!pending)
        return CannotWrite(target);
    return {true, {}};
}

StampOutcome CommitFailure(const QString &target)
{
    return CannotWrite(target);
}

StampOutcome ComposeFailure()
{
    return {false,
            QStringLiteral(
                "the text cannot be drawn on the picture (too large, or not enough memory)"),
            StampFailure::Compose};
}
