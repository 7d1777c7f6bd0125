#include "engine/core/file_failures.h"

#include <strings.h>

#include <cstdio>
#include <cstring>

#include "engine/core/box_text.h"
#include "engine/core/load_result.h"
#include "engine/core/set_aside.h"
#include "platform/files.h"

namespace {

struct SaveWords {
    const char* name;
    const char* holds;
    const char* newOneMeans;
};
// The game has two save files.
constexpr int kSaveWords = 4;
SaveWords g_saveWords[kSaveWords];

const SaveWords* WordsFor(const char* name)
{
    for (const SaveWords& words : g_saveWords) {
        if (words.name && strcasecmp(words.name, name) == 0)
            return &words;
    }
    return nullptr;
}

// ": reason", or nothing.
struct Because {
    explicit Because(const char* reason) : colon(reason && *reason ? ": " : ""), text(reason ? reason : "") {}
    const char* colon;
    const char* text;
};

}  // namespace

ShownName::ShownName(const char* file)
{
    if (!file)
        file = "";
    bool onDisk = file[0] == '\\' || file[0] == '/';
    snprintf(text_, sizeof text_, "%s", onDisk ? hostpath::ToHost(file).c_str() : file);
    folder_[0] = 0;
    const char* slash = onDisk ? strrchr(text_, '/') : nullptr;
    if (slash) {
        size_t at = static_cast<size_t>(slash - text_);
        snprintf(folder_, sizeof folder_, "%.*s", static_cast<int>(at > 0 ? at : 1), text_);
        nameAt_ = at + 1;
    }
}

void ErrorText(DWORD error, char* buffer, int size)
{
    if (!buffer || size <= 0)
        return;
    if (FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, buffer,
                      static_cast<DWORD>(size), nullptr) == 0)
        snprintf(buffer, static_cast<size_t>(size), "error %u", error);
}

void ReportLoadFailure(const char* what, const LoadResult& why, const char* then)
{
    TellPlayer("cannot load the %s: %s: %s%s%s.", what ? what : "data", ShownName(why.File()).CStr(), why.Reason(),
               then ? "; " : "", then ? then : "");
}

void DescribeSaveFile(const char* name, const char* holds, const char* newOneMeans)
{
    for (SaveWords& words : g_saveWords) {
        if (!words.name || strcasecmp(words.name, name) == 0) {
            words = SaveWords{name, holds, newOneMeans};
            return;
        }
    }
}

void ReportSaveFailure(const char* path, DWORD error)
{
    if (!path)
        return;
    char text[128];
    ErrorText(error ? error : ERROR_WRITE_FAULT, text, sizeof text);
    ShownName file(path);
    // Said in play and as the window closes alike: the old file stays whole.
    if (const SaveWords* words = WordsFor(file.Name()))
        TellPlayer("%s cannot be saved to %s in the folder %s: %s. What was saved there before is kept, but nothing "
                   "since.", words->holds, file.Name(), file.Folder(), text);
    else
        TellPlayer("%s cannot be saved in the folder %s: %s. What was saved there before is kept, but nothing since.",
                   file.Name(), file.Folder(), text);
}

void ReportSetAside(const char* path, const char* kept, const char* reason)
{
    if (!path || !kept)
        return;
    ShownName file(path);
    ShownName copy(kept);
    Because because(reason);
    if (const SaveWords* words = WordsFor(file.Name()))
        TellPlayer("%s could not be read from %s%s%s. It is kept in the folder %s as %s, and a new one is begun: %s.",
                   words->holds, file.Name(), because.colon, because.text, file.Folder(), copy.Name(),
                   words->newOneMeans);
    else
        TellPlayer("%s could not be read%s%s. It is kept in the folder %s as %s, and a new one is begun.", file.Name(),
                   because.colon, because.text, file.Folder(), copy.Name());
}

void ReportSetAsideFailure(const char* path, DWORD error, const char* reason)
{
    if (!path)
        return;
    ShownName file(path);
    char text[2 * MAX_PATH];
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        snprintf(text, sizeof text, "every name from %s.bad to %s.bad%d is taken", file.Name(), file.Name(),
                 kSetAsideNames - 1);
    else
        ErrorText(error ? error : ERROR_WRITE_FAULT, text, sizeof text);
    Because because(reason);
    const SaveWords* words = WordsFor(file.Name());
    TellPlayer("%s could not be read%s%s%s%s, and it cannot be kept aside: %s. It is left as it is in the folder %s, "
               "and nothing is saved over it.",
               words ? words->holds : file.Name(), words ? " from " : "", words ? file.Name() : "", because.colon,
               because.text, text, file.Folder());
}

void ReportToleratedWord(const char* path, const char* what)
{
    if (!path || !what)
        return;
    ShownName file(path);
    TellPlayer("A setting in %s in the folder %s is out of its range: %s. Everything else in the file is kept.",
               file.Name(), file.Folder(), what);
}

void ReportSaveFolderRefused(const char* folder, DWORD error, const char* used)
{
    char text[128];
    ErrorText(error ? error : ERROR_PATH_NOT_FOUND, text, sizeof text);
    char said[kSaidBytes];
    char line[kSaidBytes];
    snprintf(line, sizeof line, "cannot make the save folder %s: %s; saves go to %s", ShownName(folder).CStr(), text,
             ShownName(used).CStr());
    EscapeForPlayer(line, said, sizeof said);
    fprintf(stderr, "kelo: %s\n", said);
}
