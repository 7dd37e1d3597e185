#pragma once

#include "image/bmp_writer.h"
#include "image/dib_image.h"
#include "platform/surface.h"

#include <QString>

#include <functional>
#include <memory>

// What happens to the picture between drawing and writing (the text, for instance). Gets the
// drawn surface and the loaded image; false when it could not be done.
using ComposeStep = std::function<bool(Surface &surface, const DibImage &image)>;

// Which step of the road stopped a picture.
enum class StampFailure {
    None,
    Read,    // the file could not be read, or Load refused it
    Memory,  // no surface of the picture's size could be made
    Compose, // the compose step failed; nothing was written
    Write,   // the result could not be written; the target is as it was
};

struct StampOutcome
{
    bool ok = false;
    QString error {}; // why, when not ok
    StampFailure failure = StampFailure::None;
    QString warning {}; // when ok: something the user should know about the file written
};

// A target that is the source itself is stamped in place: when it is a symbolic link, the link
// stays and the file it leads to is replaced. A symbolic link at any other target is refused.
LinkAtTarget TargetLinks(const QString &source, const QString &target);

// The road of one picture: load source into image, draw it 1:1 onto a 32-bit surface, run the
// compose step, write the surface's picture area to target (which may be source itself) at
// bitsPerPixel (16, 24 or 32).
// The image is cleared first and keeps the picture afterwards.
StampOutcome StampFile(DibImage &image, const QString &source, const QString &target,
                       const ComposeStep &compose = {});

// StampFile up to the write's last step, which is left to the caller: when ok, pending holds
// the file written whole to its temporary, to be committed and then judged by CommitOutcome.
StampOutcome StampFileUncommitted(DibImage &image, const QString &source, const QString &target,
                                  const ComposeStep &compose, std::unique_ptr<AtomicFile> &pending,
                                  int bitsPerPixel = 32);

// The outcome of a file whose last step has run, given whether it succeeded.
StampOutcome CommitOutcome(const AtomicFile &file, bool committed, const QString &target);

// The outcome of a file that could not be read, for the reason given: nothing was written.
StampOutcome ReadFailure(const QString &source, const QString &reason);

// The outcome of a file that could not be written, for the reason given: the target is as it
// was.
StampOutcome WriteFailure(const QString &target, const QString &reason);

// The outcome of a file whose text could not be composed: nothing was written.
StampOutcome ComposeFailure(const QString &source);
// The outcome of a file whose picture found no memory: nothing was written.
StampOutcome NoMemory(const QString &source);
