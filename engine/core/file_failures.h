#pragma once
// What a run says about its files: the data that would not load, the saves that could not be
// written (said once per file) and those set aside. Each is said on stderr and, in a window, in the
// engine's message box, so a player who started the game from a desktop sees it too.
#include "platform/base.h"

class LoadResult;

// A file's name as the desktop shows it: a path on disk ("\home\ann\.kelo\global.opt") in the
// host's own form ("/home/ann/.kelo/global.opt"), a pack entry ("ui\sprites.txt") as its pack
// names it.
class ShownName {
public:
    explicit ShownName(const char* file);
    const char* CStr() const { return text_; }

private:
    char text_[2 * MAX_PATH];
};

// The system's text for an error code ("No space left on device").
void ErrorText(DWORD error, char* buffer, int size);

// Says the formatted text to the player: on stderr and in the engine's message box.
void TellPlayer(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Says that `what` ("pack", "styles", "sprite set ball1") could not be loaded: the file
// that failed and why.
void ReportLoadFailure(const char* what, const LoadResult& why);

// Says that path could not be written and why, the first time only for each file.
void ReportSaveFailure(const char* path, DWORD error);
// Says that path could not be read and why, and that it is kept as kept, with a new file in its place.
void ReportSetAside(const char* path, const char* kept, const char* why);
// Says that path could not be read and why, and that it could not be kept aside either (all kept
// names taken when error is ERROR_ALREADY_EXISTS), so it is left as it is and nothing is saved over
// it; once per file.
void ReportSetAsideFailure(const char* path, DWORD error, const char* why);
// Says that path holds a word out of its range that is read tolerantly (what says which and how),
// and that the rest of the file is kept.
void ReportToleratedWord(const char* path, const char* what);
// Says on stderr that the save folder could not be made and why, and the folder saves go to instead.
void ReportSaveFolderRefused(const char* folder, DWORD error, const char* used);
