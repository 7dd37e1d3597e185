#pragma once

#include "batch/batch_run.h"

#include <QString>

// The closing message of a batch run.
struct BatchSummary
{
    QString text;
    bool warning = false; // some file was not saved: a warning; else a notice with no caption
};

// "文件保存完成!" alone when every file was saved. Otherwise that line, then for the unreadable
// and the unwritable files (each list only when it has paths) a block of "其中:", one line per
// path and the list's closing sentence, the blocks separated by a line break.
BatchSummary BuildBatchSummary(const BatchResult &result);
