#include <new>

#include "engine/core/application.h"
#include "engine/core/disk_file.h"
#include "engine/core/pack_memory_file.h"

DiskFile* Application::CreateDiskFile()
{
    return new (std::nothrow) DiskFile();
}

PackMemoryFile* Application::CreatePackMemoryFile()
{
    return new (std::nothrow) PackMemoryFile();
}
