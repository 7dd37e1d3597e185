#include "batch_run.h"

#include "batch/stamp_road.h"
#include "image/dib_image.h"
#include "overlay/compose_text.h"

namespace {

BatchFileResult ResultOf(const StampOutcome &outcome)
{
    switch (outcome.failure) {
    case StampFailure::None:
        return BatchFileResult::Written;
    case StampFailure::Write:
        return BatchFileResult::Unwritable;
    case StampFailure::Read:
    case StampFailure::Memory: // a picture that cannot be held cannot be opened either
        break;
    }
    return BatchFileResult::Unreadable;
}

} // namespace

BatchResult RunBatch(const QStringList &paths, TextStyle &style, BatchPlacement placement,
                     const BatchProgress &progress, const std::atomic<bool> *stop)
{
    // The text is placed on the drawn picture, measured against the surface it goes on.
    const ComposeStep stamp = [&style, placement](Surface &surface, const DibImage &image) {
        const SIZE box = MeasureText(surface, style);
        const POINT at = AnchorPosition(placement.anchor, image.GetWidth(), image.GetHeight(),
                                        box.cx, box.cy, placement.margin);
        style.x = at.x;
        style.y = at.y;
        ComposeText(surface, style, 0);
    };

    BatchResult result;
    // Reused for every file; StampFile clears it before each load.
    DibImage picture;
    for (int i = 0; i < paths.size(); ++i) {
        if (stop && stop->load(std::memory_order_relaxed)) {
            result.stopped = true;
            break;
        }
        const QString &path = paths[i];
        const TextStyle before = style;
        const StampOutcome outcome = StampFile(picture, path, path, stamp);
        picture.Clear();
        BatchStep step {i, path, ResultOf(outcome), outcome.error};
        switch (step.result) {
        case BatchFileResult::Written:
            result.written << path;
            break;
        case BatchFileResult::Unreadable:
            result.unreadable << path;
            break;
        case BatchFileResult::Unwritable:
            // Placement of a file that was not saved is not kept.
            style = before;
            result.unwritable << path;
            break;
        }
        if (progress)
            progress(step);
    }
    return result;
}
