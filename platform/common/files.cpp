#include "platform/files.h"

#include <dirent.h>
#include <fnmatch.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "platform/internal.h"

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

bool Exists(const std::string& path)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0;
}

// The entry of `dir` that matches `name` without regard to case; the exact spelling wins, then
// the first in byte order, so the choice never depends on the directory's order.
bool FindEntryNoCase(const std::string& dir, const std::string& name, std::string* found)
{
    std::string exact = dir.empty() ? name : (dir == "/" ? "/" + name : dir + "/" + name);
    if (Exists(exact)) {
        *found = name;
        return true;
    }
    DIR* handle = opendir(dir.empty() ? "." : dir.c_str());
    if (!handle)
        return false;
    bool any = false;
    while (dirent* entry = readdir(handle)) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0 && (!any || strcmp(entry->d_name, found->c_str()) < 0)) {
            *found = entry->d_name;
            any = true;
        }
    }
    closedir(handle);
    return any;
}

std::string Join(const std::string& dir, const std::string& name)
{
    if (dir.empty())
        return name;
    if (dir == "/")
        return "/" + name;
    return dir + "/" + name;
}

void FillFindData(const std::string& hostPath, const std::string& name, WIN32_FIND_DATA* data)
{
    struct stat info;
    *data = WIN32_FIND_DATA();
    if (stat(hostPath.c_str(), &info) == 0) {
        data->dwFileAttributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
        if (access(hostPath.c_str(), W_OK) != 0)
            data->dwFileAttributes |= FILE_ATTRIBUTE_READONLY;
        uint64_t size = S_ISDIR(info.st_mode) ? 0 : static_cast<uint64_t>(info.st_size);
        data->nFileSizeLow = static_cast<DWORD>(size);
        data->nFileSizeHigh = static_cast<DWORD>(size >> 32);
    }
    size_t n = name.size() < MAX_PATH - 1 ? name.size() : MAX_PATH - 1;
    memcpy(data->cFileName, name.data(), n);
    data->cFileName[n] = 0;
}

struct FindState {
    std::string dir;
    std::vector<std::string> names;
    size_t next = 0;
};

}  // namespace

namespace hostpath {

std::string ToHost(const char* enginePath)
{
    if (!enginePath)
        return std::string();
    const char* p = enginePath;
    std::string result;
    if (IsSeparator(*p)) {
        result = "/";
        while (IsSeparator(*p))
            ++p;
    }
    bool resolving = true;
    while (*p) {
        const char* start = p;
        while (*p && !IsSeparator(*p))
            ++p;
        std::string element(start, p);
        while (IsSeparator(*p))
            ++p;
        if (element.empty() || element == ".")
            continue;
        std::string matched = element;
        if (resolving && element != "..") {
            std::string found;
            if (FindEntryNoCase(result, element, &found))
                matched = found;
            else
                resolving = false;
        }
        result = Join(result, matched);
    }
    // Built afresh rather than assigned: GCC 12 at -O3 warns falsely about an assignment here.
    return result.empty() ? std::string(".") : result;
}

std::string FromHost(const std::string& hostPath)
{
    std::string result = hostPath;
    for (char& c : result) {
        if (c == '/')
            c = '\\';
    }
    return result;
}

}  // namespace hostpath

DWORD GetModuleFileName(HMODULE module, char* buffer, DWORD size)
{
    if (module || !buffer || size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::vector<char> link(256);
    for (;;) {
        ssize_t n = readlink("/proc/self/exe", link.data(), link.size());
        if (n < 0) {
            SetLastError(platform_internal::ErrorFromErrno(errno));
            buffer[0] = 0;
            return 0;
        }
        if (static_cast<size_t>(n) < link.size()) {
            link.resize(static_cast<size_t>(n));
            break;
        }
        link.resize(link.size() * 2);
    }
    std::string path = hostpath::FromHost(std::string(link.begin(), link.end()));
    DWORD copy = static_cast<DWORD>(path.size());
    if (copy >= size) {
        copy = size - 1;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
    }
    memcpy(buffer, path.data(), copy);
    buffer[copy] = 0;
    return copy;
}

HANDLE FindFirstFile(const char* path, WIN32_FIND_DATA* data)
{
    if (!path || !data || !*path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    size_t length = strlen(path);
    if (IsSeparator(path[length - 1])) {
        // The handheld finds nothing for a path that ends in a separator.
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const char* last = path + length;
    while (last > path && !IsSeparator(last[-1]))
        --last;
    std::string pattern(last);
    std::string dir = last > path ? hostpath::ToHost(std::string(path, last).c_str()) : std::string(".");

    auto* state = new FindState;
    state->dir = dir;
    if (pattern.find_first_of("*?") == std::string::npos) {
        std::string found;
        if (FindEntryNoCase(dir, pattern, &found))
            state->names.push_back(found);
    } else if (DIR* handle = opendir(dir.c_str())) {
        while (dirent* entry = readdir(handle)) {
            if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
                continue;
            if (fnmatch(pattern.c_str(), entry->d_name, FNM_CASEFOLD) == 0)
                state->names.push_back(entry->d_name);
        }
        closedir(handle);
    }
    if (state->names.empty()) {
        delete state;
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    FillFindData(Join(dir, state->names[0]), state->names[0], data);
    state->next = 1;
    return state;
}

BOOL FindNextFile(HANDLE find, WIN32_FIND_DATA* data)
{
    if (!find || find == INVALID_HANDLE_VALUE || !data) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto* state = static_cast<FindState*>(find);
    if (state->next >= state->names.size()) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    const std::string& name = state->names[state->next++];
    FillFindData(Join(state->dir, name), name, data);
    return TRUE;
}

BOOL FindClose(HANDLE find)
{
    if (!find || find == INVALID_HANDLE_VALUE)
        return FALSE;
    delete static_cast<FindState*>(find);
    return TRUE;
}

BOOL CreateDirectory(const char* path, void*)
{
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    std::string host = hostpath::ToHost(path);
    if (mkdir(host.c_str(), 0755) != 0) {
        SetLastError(platform_internal::ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}
