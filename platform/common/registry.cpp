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

std::mutex g_saidLock;
std::string g_said;  // the last word about the save folder, so that each is said once

void SayOnce(const std::string& text)
{
    std::lock_guard<std::mutex> hold(g_saidLock);
    if (g_said != text) {
        g_said = text;
        platform_internal::Warn("%s", text.c_str());
    }
}

// Why a save folder cannot be used; null when it can.
const char* Unusable(const std::string& path)
{
    // The engine's paths use '\' between folders, so one inside a name could never be reached.
    if (path.find('\\') != std::string::npos)
        return "a backslash is not allowed in it";
    if (path[0] != '/')
        return "the current folder is unknown";
    // The file layer finds nothing at a path that ends in its separator, as the root's does.
    if (path == "/")
        return "it is the root folder";
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

// Why an environment variable names no folder: unset, empty, or (XDG_DATA_HOME) relative.
std::string Unnamed(const char* name)
{
    const char* value = getenv(name);
    if (!value)
        return std::string(name) + " is not set";
    if (!value[0])
        return std::string(name) + " is empty";
    return std::string(name) + "=" + value + " is not a full path";
}

// Empty, with the reason in why, when neither XDG_DATA_HOME nor HOME names a folder.
std::string DefaultSaveDir(std::string* why)
{
    if (const char* xdg = getenv("XDG_DATA_HOME"); Usable(xdg) && xdg[0] == '/')
        return std::string(xdg) + "/kelo";
    if (const char* home = getenv("HOME"); Usable(home))
        return std::string(home) + "/.local/share/kelo";
    *why = Unnamed("HOME") + " and " + Unnamed("XDG_DATA_HOME");
    return std::string();
}

// The program's own folder, where the engine keeps the saves when no other is named, as on the
// handheld; answering it here puts the instance lock beside them too.
std::string ProgramFolder()
{
    char path[PATH_MAX];
    DWORD n = GetModuleFileName(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path - 1)
        return std::string();
    std::string host = hostpath::ToHost(path);
    size_t slash = host.find_last_of('/');
    return slash == std::string::npos || slash == 0 ? std::string() : host.substr(0, slash);
}

std::string ProgramFolderSaid(const std::string& folder)
{
    return folder.empty() ? std::string("the program's folder") : "the program's folder, " + folder;
}

std::string SaveDirHostPath()
{
    const char* dir = getenv("KELO_SAVE_DIR");
    std::string noDefault;
    if (!Usable(dir)) {
        std::string folder = DefaultSaveDir(&noDefault);
        if (folder.empty()) {
            folder = ProgramFolder();
            SayOnce("no save folder is named (" + noDefault + "); the saves go to " + ProgramFolderSaid(folder));
        }
        return folder;
    }
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
    std::string fallback = DefaultSaveDir(&noDefault);
    std::string said = fallback;
    if (fallback.empty()) {
        fallback = ProgramFolder();
        said = ProgramFolderSaid(fallback) + ", as " + noDefault;
    }
    SayOnce("KELO_SAVE_DIR=" + std::string(dir) + " cannot be the save folder (" + why + "); using " + said);
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
