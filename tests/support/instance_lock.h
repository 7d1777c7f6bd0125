#pragma once
// Another running program, as the instance lock sees it: a lock on the open file itself conflicts
// with the program's record lock even when both are taken in this one test process.
#include <fcntl.h>

inline bool LockAsAnotherProgram(int fd)
{
    struct flock whole{};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return fcntl(fd, F_OFD_SETLK, &whole) == 0;
}
