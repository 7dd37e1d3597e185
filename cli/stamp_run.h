#pragma once

#include "cli/stamp_command_line.h"

// Stamps the files of the request, those of its --files-from lists after its file arguments,
// spread over the workers. A failed file gets one line on standard error; a run of more than
// one file shows a progress bar on a terminal and ends with a summary line, unless quiet.
// Ctrl-C or SIGTERM stops the run after the files being written, which are written whole.
// Returns the exit status: 0 when every listed file was written, 1 when some were not, 2 when
// the run was refused before any file was touched (a list that cannot be read, two files that
// would be written to the same place).
int RunStampRequest(StampRequest request);
