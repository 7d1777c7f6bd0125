#pragma once
// Whether a step that is no file load went through, and if not why, handed back by value as a
// LoadResult is for a load: a decoder's verdict on bytes it was handed (its caller, which holds
// the file, names it), or a file written for the desktop.
#include <cstdio>

class [[nodiscard]] Outcome {
public:
    // Went through.
    Outcome() = default;
    static Outcome Refused(const char* reason)
    {
        Outcome refused;
        refused.ok_ = false;
        snprintf(refused.reason_, sizeof refused.reason_, "%s", reason && *reason ? reason : "refused");
        return refused;
    }

    bool ok() const { return ok_; }
    bool failed() const { return !ok_; }
    // Empty when ok.
    const char* Reason() const { return reason_; }

private:
    bool ok_ = true;
    char reason_[160] = "";
};
