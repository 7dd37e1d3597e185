#pragma once

#include "platform/surface.h"

#include <QIODevice>
#include <QString>

#include <functional>
#include <memory>

class QSaveFile;

// Writes the top-left width x height pixels of source as an uncompressed BMP file with no
// colour table, in the surface's pixel format (16, 24 or 32 bits), bottom row first. The file
// is replaced atomically: on failure the file that was there is left exactly as it was.
// Returns whether the file was written.
bool WriteBmpFile(const Surface &source, const QString &path, int width, int height);

// The step that puts bytes into the file, replaceable so tests can make a write fail part way.
using BmpByteSink = std::function<bool(QIODevice &out, const char *data, qint64 size)>;
bool WriteBmpFile(const Surface &source, const QString &path, int width, int height,
                  const BmpByteSink &sink);

// A file written whole to its temporary beside the target, waiting for its last step: flushed
// to disk and renamed over the target. A batch lets that wait overlap the next picture's work.
// Dropping it uncommitted removes the temporary and leaves the target as it was.
class PendingBmpFile
{
public:
    explicit PendingBmpFile(std::unique_ptr<QSaveFile> file);
    PendingBmpFile(const PendingBmpFile &) = delete;
    PendingBmpFile &operator=(const PendingBmpFile &) = delete;
    ~PendingBmpFile();

    // The last step, once; true when the file is in place. May run on another thread than the
    // one that wrote the file, as long as one thread at a time uses the object.
    bool Commit();

private:
    std::unique_ptr<QSaveFile> m_file;
};

// WriteBmpFile up to its last step; null when the file could not be written (the target is
// then as it was).
std::unique_ptr<PendingBmpFile> WriteBmpFileUncommitted(const Surface &source, const QString &path,
                                                        int width, int height,
                                                        const BmpByteSink &sink = {});
