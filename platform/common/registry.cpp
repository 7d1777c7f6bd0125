#include "platform/registry.h"

#include <limits.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "platform/files.h"
#include "platform/internal.h"

namespace {

int g_gameKey;  // the one key this registry holds

// The folder the program started in: a relative KELO_SAVE_DIR is taken from it, so a later change
// of the current folder never moves the saves.
std::string StartFolder()
{
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}
const std::string g_startFolder = StartFolder();

// Room left in a path for the longest name the game keeps in the save folder.
constexpr size_t kSaveNameRoom = 64;

std::mutex g_refusedLock;
std::string g_refused;  // the KELO_SAVE_DIR value last said to be unusable, so it is said once

// Why a save folder cannot be used; null when it can.
const char* Unusable(const std::string& path)
{
    // The engine's paths use '\' between folders, so one inside a name could never be reached.
    if (path.find('\\') != std::string::npos)
        return "a backslash is not allowed in it";
    if (path[0] != '/')
        return "the current folder is unknown";
    if (path.size() + kSaveNameRoom >= PATH_MAX)
        return "too long";
    for (size_t start = 0; start < path.size();) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        if (end - start > NAME_MAX)
            return "a folder name in it is too long";
        start = end + 1;
    }
    struct stat info;
    if (stat(path.c_str(), &info) == 0 ? !S_ISDIR(info.st_mode) : errno == ENOTDIR)
        return "not a folder";
    return nullptr;
}

bool Usable(const char* value)
{
    return value && value[0];
}

std::string DefaultSaveDir()
{
    if (const char* xdg = getenv("XDG_DATA_HOME"); Usable(xdg) && xdg[0] == '/')
        return std::string(xdg) + "/kelo";
    if (const char* home = getenv("HOME"); Usable(home))
        return std::string(home) + "/.local/share/kelo";
    return std::string();
}

std::string SaveDirHostPath()
{
    const char* dir = getenv("KELO_SAVE_DIR");
    if (!Usable(dir))
        return DefaultSaveDir();
    std::string path = dir;
    if (const char* home = getenv("HOME"); Usable(home) && path[0] == '~' && (path.size() == 1 || path[1] == '/'))
        path = home + path.substr(1);
    if (path[0] != '/' && !g_startFolder.empty())
        path = (g_startFolder == "/" ? std::string() : g_startFolder) + "/" + path;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    const char* why = Unusable(path);
    if (!why)
        return path;
    std::string fallback = DefaultSaveDir();
    std::lock_guard<std::mutex> hold(g_refusedLock);
    if (g_refused != dir) {
        g_refused = dir;
        platform_internal::Warn("KELO_SAVE_DIR=%s cannot be the save folder (%s); using %s", dir, why,
                                fallback.empty() ? "the program's folder" : fallback.c_str());
    }
    return fallback;
}

}  // namespace

LONG RegOpenKeyEx(HKEY root, const char* subKey, DWORD, DWORD, HKEY* result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    if (root != HKEY_CURRENT_USER || !subKey || strcasecmp(subKey, "software\\Morvalent\\Kelo") != 0)
        return ERROR_FILE_NOT_FOUND;
    *result = &g_gameKey;
    return ERROR_SUCCESS;
}

LONG RegQueryValueEx(HKEY key, const char* name, DWORD*, DWORD* type, BYTE* data, DWORD* size)
{
    if (key != &g_gameKey || !name || strcasecmp(name, "SaveDir") != 0)
        return ERROR_FILE_NOT_FOUND;
    std::string host = SaveDirHostPath();
    if (host.empty())
        return ERROR_FILE_NOT_FOUND;
    std::string value = hostpath::FromHost(host);
    DWORD needed = static_cast<DWORD>(value.size() + 1);
    if (type)
        *type = REG_SZ;
    if (!size)
        return data ? ERROR_INVALID_PARAMETER : ERROR_SUCCESS;
    if (!data) {
        *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    memcpy(data, value.c_str(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

LONG RegCloseKey(HKEY key)
{
    return key == &g_gameKey ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
