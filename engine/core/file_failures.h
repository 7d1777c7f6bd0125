#pragma once
// What a run says about its files on stderr: the data that would not load and the saves that
// could not be written (said once per file).
#include "platform/base.h"

class LoadResult;

// The system's text for an error code ("No space left on device").
void ErrorText(DWORD error, char* buffer, int size);

// Says on stderr that `what` ("pack", "styles", "sprite set ball1") could not be loaded: the file
// that failed and why.
void ReportLoadFailure(const char* what, const LoadResult& why);

// Says on stderr that path could not be written and why, the first time only for each file.
void ReportSaveFailure(const char* path, DWORD error);
// Says on stderr that path could not be read and is kept as kept, with a new file in its place.
void ReportSetAside(const char* path, const char* kept);
