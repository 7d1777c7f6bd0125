#include "engine/core/file_failures.h"

#include <strings.h>

#include <cstdarg>
#include <cstdio>

#include "engine/core/load_result.h"
#include "engine/core/message_box.h"
#include "engine/core/set_aside.h"
#include "platform/files.h"

namespace {
constexpr int kReportedFiles = 8;
char g_reported[kReportedFiles][260];
int g_reportedCount = 0;

bool AlreadyReported(const char* path)
{
    for (int i = 0; i < g_reportedCount; ++i) {
        if (strcasecmp(g_reported[i], path) == 0)
            return true;
    }
    if (g_reportedCount < kReportedFiles)
        snprintf(g_reported[g_reportedCount++], sizeof g_reported[0], "%s", path);
    return false;
}
}  // namespace

ShownName::ShownName(const char* file)
{
    if (!file)
        file = "";
    bool onDisk = file[0] == '\\' || file[0] == '/';
    snprintf(text_, sizeof text_, "%s", onDisk ? hostpath::ToHost(file).c_str() : file);
}

void ErrorText(DWORD error, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    if (FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, buffer,
                      static_cast<DWORD>(size), nullptr) == 0)
        snprintf(buffer, static_cast<size_t>(size), "error %u", error);
}

void TellPlayer(const char* format, ...)
{
    char text[3 * MAX_PATH];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    ShowMessageBox(text);
}

void ReportLoadFailure(const char* what, const LoadResult& why)
{
    TellPlayer("cannot load the %s: %s: %s", what ? what : "data", ShownName(why.File()).CStr(), why.Reason());
}

void ReportSaveFailure(const char* path, DWORD error)
{
    if (!path || AlreadyReported(path))
        return;
    char text[128];
    ErrorText(error ? error : ERROR_WRITE_FAULT, text, sizeof text);
    TellPlayer("cannot write %s: %s; play goes on, but this is not saved", ShownName(path).CStr(), text);
}

void ReportSetAside(const char* path, const char* kept, const char* why)
{
    if (path && kept)
        TellPlayer("%s could not be read (%s); it is kept as %s and a new one begun", ShownName(path).CStr(),
                   why && *why ? why : "damaged", ShownName(kept).CStr());
}

void ReportSetAsideFailure(const char* path, DWORD error, const char* why)
{
    if (!path || AlreadyReported(path))
        return;
    char text[128];
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        snprintf(text, sizeof text, "every name from .bad to .bad%d beside it is taken", kSetAsideNames - 1);
    else
        ErrorText(error ? error : ERROR_WRITE_FAULT, text, sizeof text);
    TellPlayer("%s could not be read (%s) and cannot be kept aside (%s); it is left as it is, and nothing is "
               "saved over it", ShownName(path).CStr(), why && *why ? why : "damaged", text);
}

void ReportToleratedWord(const char* path, const char* what)
{
    if (path && what)
        TellPlayer("%s holds a setting out of its range (%s); everything in it is kept", ShownName(path).CStr(), what);
}

void ReportSaveFolderRefused(const char* folder, DWORD error, const char* used)
{
    char text[128];
    ErrorText(error ? error : ERROR_PATH_NOT_FOUND, text, sizeof text);
    fprintf(stderr, "kelo: cannot make the save folder %s: %s; saves go to %s\n", ShownName(folder).CStr(), text,
            ShownName(used).CStr());
}
