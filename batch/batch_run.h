#pragma once

#include "batch/text_anchor.h"
#include "overlay/text_style.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

// What became of one listed file.
enum class BatchFileResult {
    Written,    // stamped and written back whole
    Unreadable, // missing, cannot be opened, or refused by the reader; left untouched
    Unwritable, // read, but the result could not be written; left exactly as it was
};

// Reported once for every file the run takes, in the order it takes them.
struct BatchStep
{
    int index = 0; // position of the file in the list
    QString path;
    BatchFileResult result = BatchFileResult::Written;
    QString reason {};  // why, when not written
    QString warning {}; // when written: what the user should know about it (other hard links)
};

// Called off the interface thread, from the thread that runs the batch.
using BatchProgress = std::function<void(const BatchStep &step)>;

struct BatchResult
{
    QStringList written;    // in list order; a path listed twice appears twice
    QStringList unreadable; // in list order
    QStringList unwritable; // in list order
    bool stopped = false;   // the stop request ended the run before the end of the list

    // Files the path under what became of it.
    void Add(const QString &path, BatchFileResult what);
};

// Where and how the text goes on every picture of a run.
struct BatchPlacement
{
    TextAnchor anchor = TextAnchor::Centre;
    std::int32_t margin = 0; // pixels between the box and the edges it touches
    // The text at the style's own x, y on every picture; anchor and margin are not used.
    bool atStyleXY = false;
};

// Where and how each result is written.
struct BatchOutput
{
    QString folder;        // empty: each file over itself; else into it under the file's name
    int bitsPerPixel = 32; // 16, 24 or 32; the display's 32 unless asked otherwise
};

// Where the result of the file at path goes.
QString BatchTarget(const QString &path, const BatchOutput &output);

// Stamps the style's text onto every file of paths, in list order, and writes each one back
// over itself (or where output says): the file is read, drawn 1:1 onto a 32-bit surface (the
// display's format), the text is measured against that surface, placed by the anchor (or at the
// style's x, y) and blended in without markers, and the surface is written atomically, at the
// output's depth. At 32 bits the files are made by the streaming road, which writes the same
// bytes without ever holding a whole picture; files are flushed to disk one at a time in the
// process, whatever the number of runs.
//
// style supplies the text and its look; its x, y, cx and cy receive the values of each file
// written, so afterwards they hold those of the last one. progress (may be empty) hears of
// every file. stop (may be null) is looked at before each file: once it is set, the run ends
// after the file it is on, which is written whole, and the files after it stay untouched.
//
// Runs on whatever thread calls it, typically a worker thread, never the interface thread:
// it blocks until the whole list is done.
BatchResult RunBatch(const QStringList &paths, TextStyle &style, BatchPlacement placement,
                     const BatchProgress &progress = {}, const std::atomic<bool> *stop = nullptr,
                     const BatchOutput &output = {});

// One file of a run's list: its position in the list and its path.
struct ListedFile
{
    int index = 0;
    QString path;
};
// Gives the next file to stamp, or nothing once there is none.
using NextListedFile = std::function<std::optional<ListedFile>()>;

// RunBatch over the files next gives, one at a time, as a worker of a parallel run takes them:
// each step reports the index next gave. A file's last step overlaps the work on the file
// after it, here as in a single run.
BatchResult RunBatchOver(const NextListedFile &next, TextStyle &style, BatchPlacement placement,
                         const BatchProgress &progress = {},
                         const std::atomic<bool> *stop = nullptr, const BatchOutput &output = {});
