#pragma once

#include <QString>

// The least any program can do to turn a 24-bit picture file into a 32-bit one: read the whole
// file, widen its rows to 32 bits into one buffer and write that out. With keepSafe, the result
// goes where a program that must not lose the user's file has to put it: into a temporary file
// beside the target, flushed to disk, then renamed over the target. Without it, the target is
// simply overwritten; that form is reported for reference only. Returns whether all went well.
bool FloorConvert(const QString &in, const QString &out, bool keepSafe);

// The streaming floor of a safe conversion at the speed of the machine: the file is mapped, its
// rows are widened with the processor's vector instructions straight into a 1 MiB chunk that
// goes out to a temporary beside the target, which is flushed (fdatasync, as the program's
// writer does) and renamed over the target.
bool FloorConvertStreaming(const QString &in, const QString &out);
