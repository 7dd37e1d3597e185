#pragma once

#include "platform/surface.h"

#include <QIODevice>
#include <QString>

#include <functional>

// Writes the top-left width x height pixels of source as an uncompressed BMP file with no
// colour table, in the surface's pixel format (16, 24 or 32 bits), bottom row first. The file
// is replaced atomically: on failure the file that was there is left exactly as it was.
// Returns whether the file was written.
bool WriteBmpFile(const Surface &source, const QString &path, int width, int height);

// The step that puts bytes into the file, replaceable so tests can make a write fail part way.
using BmpByteSink = std::function<bool(QIODevice &out, const char *data, qint64 size)>;
bool WriteBmpFile(const Surface &source, const QString &path, int width, int height,
                  const BmpByteSink &sink);
