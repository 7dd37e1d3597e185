// Loaded with LD_PRELOAD under the tool, it makes one kind of call on files below a folder fail
// as a failing disk would. VELMORA_FAULT_DIR names the folder; only regular files open for
// writing there count, so the pictures read and the standard streams are left alone.
// VELMORA_FAULT is CALL:N:ERROR, ERROR being ENOSPC, EIO or EINVAL:
//   write:N   the files take N bytes in all; the write that crosses that line puts what still
//             fits and the writes after it fail, as on a disk that fills up
//   sync:N    the N-th fdatasync and every later one fail
//   close:N   the N-th close fails (the descriptor is closed all the same, as Linux does)
//   rename:N  the N-th rename of such a file and every later one fail
//   dirsync:N the N-th fsync of the folder itself and every later one fail

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

std::atomic<long long> g_seen {0}; // watched calls, or bytes written

// The error asked for when the call is the one asked for, on a regular file below the folder;
// else 0.
int Asked(const char *call, const char *path, long long &n)
{
    char asked[8] = {}, error[8] = {};
    const char *fault = std::getenv("VELMORA_FAULT"), *dir = std::getenv("VELMORA_FAULT_DIR");
    const std::size_t length = dir ? std::strlen(dir) : 0;
    struct stat st;
    const bool folder = std::strcmp(call, "dirsync") == 0;
    if (!fault || std::sscanf(fault, "%7[a-z]:%lld:%7s", asked, &n, error) != 3
        || std::strcmp(asked, call) != 0 || !length || std::strncmp(path, dir, length) != 0
        || path[length] != (folder ? '\0' : '/') || lstat(path, &st) != 0
        || !(folder ? S_ISDIR(st.st_mode) : S_ISREG(st.st_mode)))
        return 0;
    if (std::strcmp(error, "EINVAL") == 0)
        return EINVAL;
    return std::strcmp(error, "EIO") == 0 ? EIO : ENOSPC;
}

// The same for a file open for writing.
int Asked(const char *call, int fd, long long &n)
{
    char link[32], path[4096] = {};
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const bool written
        = (fcntl(fd, F_GETFL) & O_ACCMODE) != O_RDONLY && readlink(link, path, sizeof path - 1) > 0;
    return written ? Asked(call, path, n) : 0;
}

// Whether a watched call is the N-th or a later one; errno is then the error asked for.
bool Fails(int error, long long n)
{
    return error && (errno = error, ++g_seen >= n);
}

} // namespace

// The call this library stands in front of.
#define NEXT(call) reinterpret_cast<decltype(&call)>(dlsym(RTLD_NEXT, #call))

extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    long long n = 0;
    if (const int error = size ? Asked("write", fd, n) : 0) {
        const long long room = n - g_seen.fetch_add((long long)size);
        if (room <= 0)
            return errno = error, -1;
        size = std::size_t(std::min<long long>(room, (long long)size));
    }
    return NEXT(write)(fd, data, size);
}

// The data sync a file's last step asks for (a folder's fsync is no regular file's).
extern "C" int fdatasync(int fd)
{
    long long n = 0;
    const int error = Asked("sync", fd, n);
    return Fails(error, n) ? -1 : NEXT(fdatasync)(fd);
}

extern "C" int fsync(int fd)
{
    char link[32], path[4096] = {};
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    long long n = 0;
    const int error = readlink(link, path, sizeof path - 1) > 0 ? Asked("dirsync", path, n) : 0;
    return Fails(error, n) ? -1 : NEXT(fsync)(fd);
}

extern "C" int close(int fd)
{
    long long n = 0;
    const int error = Asked("close", fd, n);
    const int result = NEXT(close)(fd);
    return Fails(error, n) ? -1 : result;
}

extern "C" int rename(const char *from, const char *to)
{
    long long n = 0;
    const int error = Asked("rename", from, n);
    return Fails(error, n) ? -1 : NEXT(rename)(from, to);
}
