#pragma once

#include "batch/batch_run.h"

#include <QString>
#include <QStringList>

// The batch options of the command-line tool:
//   --anchor NAME|0..8  --margin PIXELS  --jobs N
// Any of them places the text by the anchor (default centre) instead of by --x and --y.
struct BatchOptions
{
    bool requested = false; // one of the options was given
    BatchPlacement placement;
    int jobs = 0; // 0: one per core
};

// Removes the options it knows, with their values, from args (also --name=value); a "--" ends
// the options. False with a message on a bad or missing value.
bool TakeBatchOptions(QStringList &args, BatchOptions &options, QString &error);

QString BatchOptionsUsage();
