#include "platform/sdl/pixel_rows_way.h"

#include <algorithm>

namespace sdlbackend {
namespace {

constexpr int kWays = 2;
constexpr int kRun = RowWriteWay::kRunPresents;
constexpr int kUntimedInRun = kRun - RowWriteWay::kTimedInRun;

double Median(const double* values, int count)
{
    double sorted[RowWriteWay::kTimedPresents];
    std::copy(values, values + count, sorted);
    std::sort(sorted, sorted + count);
    return sorted[count / 2];
}

}  // namespace

void RowWriteWay::Restart(bool pastCache, bool timed)
{
    timing_ = timed;
    pastCache_ = pastCache;
    presents_ = 0;
}

bool RowWriteWay::TimesNext() const
{
    return timing_ && presents_ >= kWarmUpPresents;
}

bool RowWriteWay::PastCache() const
{
    // The cache's way first.
    return TimesNext() ? (presents_ - kWarmUpPresents) / kRun % kWays == 1 : pastCache_;
}

void RowWriteWay::Presented(double seconds)
{
    if (!timing_)
        return;
    if (TimesNext()) {
        // The first presents of a run find the picture where the other way left it (streamed out
        // of the cache, or in it): only the last ones are timed.
        const int timed = presents_ - kWarmUpPresents, inRun = timed % kRun, run = timed / kRun;
        if (inRun >= kUntimedInRun)
            seconds_[run % kWays][run / kWays * kTimedInRun + inRun - kUntimedInRun] = seconds;
    }
    if (++presents_ < kWarmUpPresents + kRun * kWays * kRunsEachWay)
        return;
    timing_ = false;
    pastCache_ = Median(seconds_[1], kTimedPresents) <= kPastCacheShare * Median(seconds_[0], kTimedPresents);
}

}  // namespace sdlbackend
