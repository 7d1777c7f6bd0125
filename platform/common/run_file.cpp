#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/capture.h"

namespace {

// Named after the target and this process, so two runs writing one file never share a temporary;
// a name already taken (a leftover, a link) is passed over, never opened.
int CreateTemporary(const std::string& target, std::string* name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        *name = target + "." + std::to_string(getpid()) + "-" + std::to_string(attempt) + ".tmp";
        int fd = open(name->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    errno = EEXIST;
    return -1;
}

bool WriteAll(int fd, const unsigned char* bytes, size_t size)
{
    while (size > 0) {
        ssize_t put = write(fd, bytes, size);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}

}  // namespace

Outcome WriteRunFile(const char* path, const void* bytes, size_t size)
{
    if (!path || !*path)
        return Outcome::Refused("no file is named");
    struct stat info;
    if (stat(path, &info) == 0 && !S_ISREG(info.st_mode))
        return Outcome::Refused(S_ISDIR(info.st_mode)                              ? "it is a folder"
                                : S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode) ? "it is a device"
                                                                                 : "it is not a regular file");
    std::string temporary;
    int fd = CreateTemporary(path, &temporary);
    if (fd < 0)
        return Outcome::Refused((std::string("cannot make a file beside it: ") + strerror(errno)).c_str());
    bool whole = WriteAll(fd, static_cast<const unsigned char*>(bytes), size) && fsync(fd) == 0;
    int error = errno;
    if (close(fd) != 0 && whole) {
        whole = false;
        error = errno;
    }
    if (whole && rename(temporary.c_str(), path) != 0) {
        whole = false;
        error = errno;
    }
    if (!whole) {
        unlink(temporary.c_str());
        return Outcome::Refused(strerror(error));
    }
    return Outcome();
}
