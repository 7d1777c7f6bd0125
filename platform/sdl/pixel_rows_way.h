#pragma once
// Which way a window's scaled rows go to memory, through the cache or past it, chosen by timing
// whole presents on the machine itself: what wins depends on the caches, the memory and how the
// desktop reads the picture, which no figure the system lists tells. After a few presents of
// warm-up, each way is taken in turn for a run of whole presents and the last ones of each run are
// timed in the presenting thread's own time, the runs interleaved so that a busy spell of the
// machine falls on both; the way past the cache is taken only when its median beats the cache's by
// a clear margin, as a picture that stays in the cache is the cheaper one for the desktop that
// reads it next.

namespace sdlbackend {

class RowWriteWay {
public:
    static constexpr int kWarmUpPresents = 4;
    // A run of one way is this long; its last kTimedInRun presents are timed, kRunsEachWay runs a
    // way. The cache's way takes ten or so presents after a streamed one before the window's
    // memory is back in the cache (measured under Xvfb at 2x: 0.6 ms falling to 0.33 at rest), so
    // a shorter run times it while it recovers and takes the stream wrongly.
    static constexpr int kRunPresents = 12;
    static constexpr int kTimedInRun = 2;
    static constexpr int kRunsEachWay = 3;
    static constexpr int kTimedPresents = kTimedInRun * kRunsEachWay;  // of each way
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
