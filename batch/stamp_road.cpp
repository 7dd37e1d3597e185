#include "stamp_road.h"

LinkAtTarget TargetLinks(const QString &source, const QString &target)
{
    return target == source ? LinkAtTarget::Follow : LinkAtTarget::Refuse;
}

StampOutcome StampFile(DibImage &image, const QString &source, const QString &target,
                       const ComposeStep &compose)
{
    std::unique_ptr<AtomicFile> pending;
    const StampOutcome outcome = StampFileUncommitted(image, source, target, compose, pending);
    if (!outcome.ok)
        return outcome;
    return CommitOutcome(*pending, pending->Commit(), target);
}

StampOutcome StampFileUncommitted(DibImage &image, const QString &source, const QString &target,
                                  const ComposeStep &compose, std::unique_ptr<AtomicFile> &pending,
                                  int bitsPerPixel)
{
    pending.reset();
    image.Clear();
    if (!image.Load(source))
        return ReadFailure(source, image.GetLoadError());
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
    pending = WriteBmpFileUncommitted(surface, target, image.GetWidth(), image.GetHeight(),
                                      TargetLinks(source, target));
    if (pending->Failed())
        return WriteFailure(target, pending->Error());
    return {.ok = true};
}

StampOutcome CommitOutcome(const AtomicFile &file, bool committed, const QString &target)
{
    if (!committed)
        return WriteFailure(target, file.Error());
    StampOutcome outcome {.ok = true};
    // Replaced under this name only, as a copy would be: the other names see the old picture.
    if (file.HadOtherLinks())
        outcome.warning
            = QStringLiteral("%1 had other hard links, which keep the old picture").arg(target);
    return outcome;
}

StampOutcome ReadFailure(const QString &source, const QString &reason)
{
    return {.error = QStringLiteral("cannot read %1: %2").arg(source, reason),
            .failure = StampFailure::Read};
}

StampOutcome WriteFailure(const QString &target, const QString &reason)
{
    return {.error = QStringLiteral("cannot write %1: %2").arg(target, reason),
            .failure = StampFailure::Write};
}

StampOutcome ComposeFailure(const QString &source)
{
    return {.error = QStringLiteral("cannot stamp %1: the text cannot be drawn on the picture "
                                    "(too large, or not enough memory)")
                         .arg(source),
            .failure = StampFailure::Compose};
}

StampOutcome NoMemory(const QString &source)
{
    return {.error
            = QStringLiteral("cannot stamp %1: not enough memory for the picture").arg(source),
            .failure = StampFailure::Memory};
}
