#include "engine/core/zip_pack.h"

#include "platform/files.h"

ZipPack::ZipPack(Application* application) : application_(application) {}

ZipPack::~ZipPack() = default;

int ZipPack::Open(const char* path)
{
    WIN32_FIND_DATA data;
    HANDLE find = FindFirstFile(path, &data);
    if (find == INVALID_HANDLE_VALUE)
        return -3;
    FindClose(find);
    open_ = true;
    return 1;
}

int ZipPack::Close()
{
    open_ = false;
    return 1;
}
