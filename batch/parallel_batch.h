#pragma once

#include "batch/batch_run.h"

// The batch run spread over several workers, for the command line. Each worker runs the batch
// over the files it takes, on its own copy of the style. Files are independent, except that a
// file listed more than once is stamped once per listing, one after the other, in list order:
// all listings of one file go to the same worker. progress is called from the workers, one call
// at a time. With jobs <= 1 this is RunBatch on the calling thread. The lists of the result are
// in list order.
BatchResult RunBatchParallel(const QStringList &paths, const TextStyle &style,
                             BatchPlacement placement, int jobs, const BatchProgress &progress = {},
                             const std::atomic<bool> *stop = nullptr,
                             const BatchOutput &output = {});

// The same file under two spellings of its path gets the same key.
QString BatchFileKey(const QString &path);
