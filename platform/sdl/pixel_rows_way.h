#pragma once
// Which way a window's scaled rows go to memory, through the cache or past it, chosen by timing
// whole presents on the machine itself: what wins depends on the caches, the memory and how the
// desktop reads the picture, which no figure the system lists tells. After a few presents of
// warm-up, several whole presents of each way are timed in the presenting thread's own time,
// interleaved so that a busy spell of the machine falls on both; the way past the cache is taken
// only when its median beats the cache's by a clear margin, as a picture that stays in the cache
// is the cheaper one for the desktop that reads it next.

namespace sdlbackend {

class RowWriteWay {
public:
    static constexpr int kWarmUpPresents = 4;
    static constexpr int kTimedPresents = 5;  // of each way
    // Past the cache only when its median is at most this share of the cache's.
    static constexpr double kPastCacheShare = 0.9;

    // A new layout: presents are timed afresh when `timed` (the picture has two ways to choose
    // from), else the way stays `pastCache`. Until the timing decides, `pastCache` is the way.
    void Restart(bool pastCache, bool timed);
    // The way the next present writes.
    bool PastCache() const;
    // The next present is timed: it writes the whole picture, whatever changed.
    bool TimesNext() const;
    // After each present that reached the window, with the seconds it took.
    void Presented(double seconds);

private:
    bool timing_ = false;
    bool pastCache_ = false;
    int presents_ = 0;
    double seconds_[2][kTimedPresents] = {};
};

}  // namespace sdlbackend
