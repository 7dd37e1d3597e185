// The floor of the peer comparison as a program: every listed 24-bit file is read, widened to
// 32 bits and written back over itself through a synced temporary and a rename, the least a
// tool can do that turns these files into the ones velmora-stamp writes without risking them.
//
//   velmora_floor FILE...
//   velmora_floor --streaming FILE...   # the streaming floor: vector widening, fdatasync

#include "bench/floor.h"

#include <QString>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    int failed = 0;
    const bool streaming = argc > 1 && std::strcmp(argv[1], "--streaming") == 0;
    for (int i = streaming ? 2 : 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        if (!(streaming ? FloorConvertStreaming(path, path) : FloorConvert(path, path, true))) {
            std::fprintf(stderr, "velmora_floor: %s: failed\n", argv[i]);
            ++failed;
        }
    }
    return failed ? 1 : 0;
}
