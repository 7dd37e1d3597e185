// Loaded with LD_PRELOAD under the tool, it makes one kind of call on files below a folder fail
// as a failing disk would. VELMORA_FAULT_DIR names the folder; only regular files open for
// writing there count, so the pictures read and the standard streams are left alone.
// VELMORA_FAULT is CALL:N:ERROR, ERROR being ENOSPC or EIO:
//   write:N   the files take N bytes in all; the write that crosses that line puts what still
//             fits and the writes after it fail, as on a disk that fills up
//   sync:N    the N-th fsync or fdatasync and every later one fail
//   close:N   the N-th close fails (the descriptor is closed all the same, as Linux does)
//   rename:N  the N-th rename of such a file and every later one fail

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Fault
{
    char call[8] = {};
    long long n = 0;
    int error = 0; // 0: no fault asked for
};

const Fault &Asked()
{
    static const Fault fault = [] {
        Fault f;
        char error[8] = {};
        const char *asked = std::getenv("VELMORA_FAULT");
        if (asked && std::sscanf(asked, "%7[a-z]:%lld:%7s", f.call, &f.n, error) == 3)
            f.error = std::strcmp(error, "EIO") == 0 ? EIO : ENOSPC;
        return f;
    }();
    return fault;
}

bool Below(const char *path)
{
    const char *dir = std::getenv("VELMORA_FAULT_DIR");
    const std::size_t length = dir ? std::strlen(dir) : 0;
    return length && std::strncmp(path, dir, length) == 0 && path[length] == '/';
}

bool Watched(const char *call, int fd)
{
    if (!Asked().error || std::strcmp(Asked().call, call) != 0)
        return false;
    struct stat st;
    const int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 || (flags & O_ACCMODE) == O_RDONLY)
        return false;
    char link[32], path[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, sizeof path - 1);
    path[n > 0 ? n : 0] = '\0';
    return Below(path);
}

// Whether this watched call is the N-th or a later one.
bool CountedOut()
{
    static std::atomic<long long> seen {0};
    return ++seen >= Asked().n;
}

int Fail()
{
    errno = Asked().error;
    return -1;
}

template<typename F>
F Next(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    static const auto real = Next<ssize_t (*)(int, const void *, size_t)>("write");
    if (Watched("write", fd)) {
        static std::atomic<long long> room {Asked().n};
        const long long take = std::min<long long>(room.load(), (long long)size);
        room -= take;
        if (take == 0 && size > 0)
            return Fail();
        size = size_t(take);
    }
    return real(fd, data, size);
}

extern "C" int fsync(int fd)
{
    static const auto real = Next<int (*)(int)>("fsync");
    return Watched("sync", fd) && CountedOut() ? Fail() : real(fd);
}

extern "C" int fdatasync(int fd)
{
    static const auto real = Next<int (*)(int)>("fdatasync");
    return Watched("sync", fd) && CountedOut() ? Fail() : real(fd);
}

extern "C" int close(int fd)
{
    static const auto real = Next<int (*)(int)>("close");
    const bool fails = Watched("close", fd) && CountedOut();
    const int result = real(fd);
    return fails ? Fail() : result;
}

extern "C" int rename(const char *from, const char *to)
{
    static const auto real = Next<int (*)(const char *, const char *)>("rename");
    struct stat st;
    if (Asked().error && std::strcmp(Asked().call, "rename") == 0 && Below(from)
        && lstat(from, &st) == 0 && S_ISREG(st.st_mode) && CountedOut())
        return Fail();
    return real(from, to);
}
