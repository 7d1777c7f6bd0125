#include "platform/registry.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/files.h"

namespace {

int g_gameKey;  // the one key this registry holds

std::string SaveDirHostPath()
{
    auto usable = [](const char* value) { return value && value[0]; };
    std::string path;
    if (const char* dir = getenv("KELO_SAVE_DIR"); usable(dir)) {
        path = dir;
    } else if (const char* xdg = getenv("XDG_DATA_HOME"); usable(xdg) && xdg[0] == '/') {
        path = std::string(xdg) + "/kelo";
    } else if (const char* home = getenv("HOME"); usable(home)) {
        path = std::string(home) + "/.local/share/kelo";
    } else {
        return std::string();
    }
    if (path[0] == '~' && (path.size() == 1 || path[1] == '/')) {
        const char* home = getenv("HOME");
        path = std::string(home ? home : "") + path.substr(1);
    }
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
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
