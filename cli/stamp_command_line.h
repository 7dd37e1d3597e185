#pragma once

#include "batch/batch_run.h"
#include "overlay/text_style.h"

#include <QString>
#include <QStringList>

// What a command line asks for.
struct StampRequest
{
    TextStyle style;
    BatchPlacement placement {.atStyleXY = true}; // at --x, --y unless --anchor is given
    BatchOutput output;
    int jobs = 0; // 0: one per core
    bool quiet = false;
    QStringList files;     // the file arguments, in order
    QStringList fileLists; // --files-from, in order; "-" is standard input
    bool nulSeparated = false;
    // Arguments whose bytes do not survive their conversion to text: a file so named is refused
    // alone, any other such argument is a usage error.
    QStringList unfaithful;
};

enum class CommandLineResult {
    Run,
    Help,
    Version,
    UsageError, // error says what is wrong, in one line
};

// Reads the arguments (the program's name first) into request, whose unfaithful arguments are
// already known.
CommandLineResult ParseStampCommandLine(const QStringList &arguments, StampRequest &request,
                                        QString &error);

// The --help text: usage, what the tool does, the options in groups, the exit status.
QString StampHelpText();

// "#RRGGBB" (hex digits in either case) as a colour; false for anything else.
bool ParseHexColor(const QString &text, COLORREF &color);
