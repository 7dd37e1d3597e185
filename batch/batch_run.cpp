#include "batch_run.h"

#include "batch/parallel_batch.h"
#include "batch/stream_road.h"

#include <QDir>
#include <QFileInfo>

#include <future>
#include <memory>
#include <optional>
#include <system_error>

namespace {

BatchFileResult ResultOf(const StampOutcome &outcome)
{
    switch (outcome.failure) {
    case StampFailure::None:
        return BatchFileResult::Written;
    case StampFailure::Write:
    case StampFailure::Compose: // read, but no stamped picture to write
        return BatchFileResult::Unwritable;
    case StampFailure::Read:
    case StampFailure::Memory: // a picture that cannot be held cannot be opened either
        break;
    }
    return BatchFileResult::Unreadable;
}

// Where the text went on one picture: what the style keeps of the last file written.
struct Placement
{
    std::int32_t x = 0, y = 0, cx = 0, cy = 0;
};

Placement PlacementOf(const TextStyle &style)
{
    return {style.x, style.y, style.cx, style.cy};
}

// A file written whole to its temporary whose last step (flushing it to disk and renaming it
// over the file) runs on a thread of its own while the next picture is read and composed: the
// wait for the disk then costs no time of its own.
struct Committing
{
    int index = 0;
    QString path, target;
    Placement placement;
    std::unique_ptr<AtomicFile> file;
    std::future<bool> done;
};

std::future<bool> CommitInBackground(AtomicFile &file)
{
    try {
        // Runs on its own thread; the run's thread does not touch the file until it is done.
        return std::async(std::launch::async, [&file] { return file.Commit(); });
    } catch (const std::system_error &) { // no thread to be had: commit here and now
        std::promise<bool> now;
        now.set_value(file.Commit());
        return now.get_future();
    }
}

} // namespace

void BatchResult::Add(const QString &path, BatchFileResult what)
{
    switch (what) {
    case BatchFileResult::Written:
        written << path;
        break;
    case BatchFileResult::Unreadable:
        unreadable << path;
        break;
    case BatchFileResult::Unwritable:
        unwritable << path;
        break;
    }
}

QString BatchTarget(const QString &path, const BatchOutput &output)
{
    if (output.folder.isEmpty())
        return path;
    return QDir(output.folder).filePath(QFileInfo(path).fileName());
}

BatchResult RunBatch(const QStringList &paths, TextStyle &style, BatchPlacement placement,
                     const BatchProgress &progress, const std::atomic<bool> *stop,
                     const BatchOutput &output)
{
    int at = 0;
    const NextListedFile next = [&]() -> std::optional<ListedFile> {
        if (at == paths.size())
            return std::nullopt;
        const int index = at++;
        return ListedFile {index, paths[index]};
    };
    return RunBatchOver(next, style, placement, progress, stop, output);
}

BatchResult RunBatchOver(const NextListedFile &next, TextStyle &style, BatchPlacement placement,
                         const BatchProgress &progress, const std::atomic<bool> *stop,
                         const BatchOutput &output)
{
    // Where the text goes on each picture, given the picture's size and the text's measured box.
    const POINT given {style.x, style.y};
    const TextPlacement place = [placement, given](std::int32_t width, std::int32_t height,
                                                   SIZE box) {
        if (placement.atStyleXY)
            return given;
        return AnchorPosition(placement.anchor, width, height, box.cx, box.cy, placement.margin);
    };

    BatchResult result;
    // What the style keeps at the end: the placement of the last file written.
    Placement kept = PlacementOf(style);
    const auto report = [&](BatchStep step) {
        result.Add(step.path, step.result);
        if (progress)
            progress(step);
    };
    // At most one file waits for its last step; it is settled, and reported, before anything
    // after it in the list.
    std::optional<Committing> committing;
    const auto settle = [&] {
        if (!committing)
            return;
        const StampOutcome outcome
            = CommitOutcome(*committing->file, committing->done.get(), committing->target);
        committing->file.reset();
        if (outcome.ok) {
            kept = committing->placement;
            report(
                {.index = committing->index, .path = committing->path, .warning = outcome.warning});
        } else {
            report({.index = committing->index,
                    .path = committing->path,
                    .result = BatchFileResult::Unwritable,
                    .reason = outcome.error});
        }
        committing.reset();
    };

    for (;;) {
        if (stop && stop->load(std::memory_order_relaxed)) {
            result.stopped = true;
            break;
        }
        const std::optional<ListedFile> listed = next();
        if (!listed)
            break;
        const int i = listed->index;
        const QString &path = listed->path;
        // A file listed again, or written to by the file before, is read only once that
        // earlier stamping is in place.
        if (committing && BatchFileKey(committing->target) == BatchFileKey(path))
            settle();
        std::unique_ptr<AtomicFile> file;
        const QString target = BatchTarget(path, output);
        StampOutcome outcome;
        if (output.bitsPerPixel == 32) {
            outcome = StreamStampFileUncommitted(path, target, style, place, file);
        } else { // another depth is cut from the whole 32-bit picture
            DibImage picture;
            outcome = StampFileUncommitted(picture, path, target, PlacedText(style, place), file,
                                           output.bitsPerPixel);
        }
        settle();
        // A stop asked for before the previous file was reported leaves this one untouched, as
        // if it had not been started: its temporary is dropped.
        if (stop && stop->load(std::memory_order_relaxed)) {
            result.stopped = true;
            break;
        }
        if (!outcome.ok) {
            report(
                {.index = i, .path = path, .result = ResultOf(outcome), .reason = outcome.error});
            continue;
        }
        committing.emplace(Committing {i, path, target, PlacementOf(style), std::move(file), {}});
        committing->done = CommitInBackground(*committing->file);
    }
    settle();
    style.x = kept.x;
    style.y = kept.y;
    style.cx = kept.cx;
    style.cy = kept.cy;
    return result;
}
