#pragma once

#include "cli/batch_options.h"
#include "overlay/text_style.h"

#include <QStringList>

// Stamps every file in place at the options' anchor, spread over the workers, with a progress
// bar on a terminal, one line per failed file and a closing summary on standard error.
// Ctrl-C or SIGTERM stops the run after the files being written, which are written whole.
// Returns the exit code: 0 when every listed file was written, 1 otherwise.
int RunBatchMode(const QStringList &files, const TextStyle &style, const BatchOptions &options);
