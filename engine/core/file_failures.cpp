#include "engine/core/file_failures.h"

#include <strings.h>

#include <cstdio>

namespace {
char g_failure[400];
bool g_noted = false;

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

void ErrorText(DWORD error, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    if (FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, buffer,
                      static_cast<DWORD>(size), nullptr) == 0)
        snprintf(buffer, static_cast<size_t>(size), "error %u", error);
}

void ClearLoadFailure()
{
    g_noted = false;
    g_failure[0] = 0;
}

void NoteLoadFailure(const char* file, const char* reason)
{
    g_noted = true;
    snprintf(g_failure, sizeof g_failure, "%s: %s", file ? file : "(no name)", reason ? reason : "cannot be read");
}

void NoteLoadError(const char* file, DWORD error)
{
    char text[128];
    ErrorText(error, text, sizeof text);
    NoteLoadFailure(file, text);
}

const char* LoadFailureText()
{
    return g_noted ? g_failure : nullptr;
}

void ReportStartFailure(const char* what)
{
    const char* failure = LoadFailureText();
    fprintf(stderr, "kelo: cannot load the %s%s%s\n", what ? what : "data", failure ? " " : "", failure ? failure : "");
}

void ReportSaveFailure(const char* path, DWORD error)
{
    if (!path || AlreadyReported(path))
        return;
    char text[128];
    ErrorText(error ? error : ERROR_WRITE_FAULT, text, sizeof text);
    fprintf(stderr, "kelo: cannot write %s: %s; play goes on, but this is not saved\n", path, text);
}

void ReportSetAside(const char* path, const char* kept)
{
    if (path && kept)
        fprintf(stderr, "kelo: %s could not be read; it is kept as %s and a new one begun\n", path, kept);
}
