#pragma once
// What a run says about its files: the data that would not load, the saves that could not be
// written and those set aside, each through TellPlayer (once per cause, on stderr and in the
// engine's message box), in words a player can act on: what happened, what is kept and where.
#include "engine/core/tell_player.h"
#include "platform/base.h"

class LoadResult;

// A file's name as the desktop shows it: a path on disk ("\home\ann\.kelo\global.opt") in the
// host's own form ("/home/ann/.kelo/global.opt"), a pack entry ("ui\sprites.txt") as its pack
// names it.
class ShownName {
public:
    explicit ShownName(const char* file);
    const char* CStr() const { return text_; }
    // A file on disk parted into its folder and its name; a pack entry has no folder ("").
    const char* Folder() const { return folder_; }
    const char* Name() const { return text_ + nameAt_; }

private:
    char text_[2 * MAX_PATH];
    char folder_[2 * MAX_PATH];
    size_t nameAt_ = 0;
};

// The system's text for an error code ("No space left on device").
void ErrorText(DWORD error, char* buffer, int size);

// What follows a file that would not load, said after it.
inline constexpr char kCannotStart[] = "Kelo cannot start without it";
inline constexpr char kCannotGoOn[] = "Kelo cannot go on without it, and closes";
inline constexpr char kBackAtTheMenu[] = "you are back at the menu, and your progress is kept";
inline constexpr char kGoesOnWithout[] = "play goes on without it";

// Says that `what` ("pack", "styles", "sprite set ball1") could not be loaded: the file that
// failed and why, then what follows (one of the texts above), when given.
void ReportLoadFailure(const char* what, const LoadResult& why, const char* then = nullptr);

// Names what a save file holds for the player ("the players and options") and what a new one in
// its place means to them, by the file's name: the game knows; the engine only keeps and says it.
void DescribeSaveFile(const char* name, const char* holds, const char* newOneMeans);

// Says that path could not be written and why.
void ReportSaveFailure(const char* path, DWORD error);
// Says that path could not be read (for the reason, when given) and is kept as kept, with a new
// file in its place.
void ReportSetAside(const char* path, const char* kept, const char* reason = nullptr);
// Says that path could not be read (for the reason, when given) and could not be kept aside
// either (all kept names taken when error is ERROR_ALREADY_EXISTS), so it is left as it is and
// nothing is saved over it.
void ReportSetAsideFailure(const char* path, DWORD error, const char* reason = nullptr);
// Says that path holds a word out of its range that is read tolerantly (what says which and how),
// and that everything else in it is kept.
void ReportToleratedWord(const char* path, const char* what);
// Says on stderr that the save folder could not be made and why, and the folder saves go to instead.
void ReportSaveFolderRefused(const char* folder, DWORD error, const char* used);
