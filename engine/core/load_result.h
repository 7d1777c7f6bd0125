#pragma once
// Why a file could not be loaded: ok, or the file that failed and the reason. Each reader hands
// one back to its caller by value, so a message names the file that failed, not the last one
// touched; [[nodiscard]] keeps any caller from dropping it.
#include <cstdint>

#include "platform/base.h"

class [[nodiscard]] LoadResult {
public:
    // Ok.
    LoadResult() = default;
    // The file is there but could not be used.
    static LoadResult Failed(const char* file, const char* reason);
    // The file is not there at all; a loader with a fall-back (another name, an optional part)
    // may go on.
    static LoadResult Missing(const char* file, const char* reason);
    // Something that is no file (memory, a table record, a part made from files already loaded)
    // could not be made; what names it. A failure like any other, which a caller that treats a
    // file's failure otherwise can tell apart.
    static LoadResult Unmade(const char* what, const char* reason);
    // With the system's text for the error; a file that does not exist counts as missing.
    static LoadResult SystemError(const char* file, DWORD error);
    // A file on disk that did not open: missing, "a folder", or "not readable: <the system's text>".
    static LoadResult Unopened(const char* file, DWORD error);
    // A file refused unread for its size: "larger than 2 MiB".
    static LoadResult TooLarge(const char* file, int64_t limit);

    bool ok() const { return ok_; }
    bool failed() const { return !ok_; }
    bool IsMissing() const { return !ok_ && kind_ == Kind::kMissing; }
    bool IsUnmade() const { return !ok_ && kind_ == Kind::kUnmade; }
    // Empty when ok.
    const char* File() const { return file_; }
    const char* Reason() const { return reason_; }

private:
    enum class Kind { kFailed, kMissing, kUnmade };
    LoadResult(const char* file, const char* reason, Kind kind);

    bool ok_ = true;
    Kind kind_ = Kind::kFailed;
    char file_[MAX_PATH] = "";
    char reason_[120] = "";
};

// What a loader whose return is fixed by its design makes (a surface, a sound slot, a pack's
// result code, a parsed document), with why it failed: the value is the loader's own failure
// value (null, -1, a code) exactly when why is not ok.
template <class T>
struct [[nodiscard]] LoadedValue {
    T value;
    LoadResult why;
};
