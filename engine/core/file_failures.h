#pragma once
// What a run says about its files on stderr: the data that would not load (kept until the code
// that ends the run names it) and the saves that could not be written (said once per file).
#include "platform/base.h"

// The system's text for an error code ("No space left on device").
void ErrorText(DWORD error, char* buffer, int size);

// Forgets the failure noted, before a new item is loaded.
void ClearLoadFailure();
// The last file touched is the likeliest culprit: each note replaces the one before (a file
// opened whole notes that its contents would be at fault, should its reader then fail).
void NoteLoadFailure(const char* file, const char* reason);
// As above, with the system's text for error.
void NoteLoadError(const char* file, DWORD error);
// "FILE: REASON" of the failure noted, or null when none was.
const char* LoadFailureText();

// Says on stderr that the start failed on `what` ("pack", "styles"), with the failure noted.
void ReportStartFailure(const char* what);

// Says on stderr that path could not be written and why, the first time only for each file.
void ReportSaveFailure(const char* path, DWORD error);
// Says on stderr that path could not be read and is kept as kept, with a new file in its place.
void ReportSetAside(const char* path, const char* kept);
