#pragma once
// Why a file could not be loaded: ok, or the file that failed and the reason. Each reader hands
// one back to its caller, so a message names the file that failed, not the last one touched.
#include "platform/base.h"

class LoadResult {
public:
    // Ok.
    LoadResult() = default;
    // The file is there but could not be used.
    static LoadResult Failed(const char* file, const char* reason);
    // The file is not there at all; a loader with a fall-back (another name, an optional part)
    // may go on.
    static LoadResult Missing(const char* file, const char* reason);
    // With the system's text for the error; a file that does not exist counts as missing.
    static LoadResult SystemError(const char* file, DWORD error);

    explicit operator bool() const { return ok_; }
    bool IsMissing() const { return !ok_ && missing_; }
    // Empty when ok.
    const char* File() const { return file_; }
    const char* Reason() const { return reason_; }

private:
    LoadResult(const char* file, const char* reason, bool missing);

    bool ok_ = true;
    bool missing_ = false;
    char file_[MAX_PATH] = "";
    char reason_[120] = "";
};
