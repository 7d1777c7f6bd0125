#pragma once
// The null back end's test interface: a clock tests set by hand, recorded message boxes and
// heap failures on request.
#include <functional>
#include <string>
#include <vector>

#include "platform/base.h"
#include "platform/internal.h"

namespace nullbackend {

void SetClock(DWORD milliseconds);
void AdvanceClock(DWORD milliseconds);
// Milliseconds passed to Sleep since the last reset.
DWORD SleptTotal();
void ResetSleptTotal();

const std::vector<std::string>& MessageBoxes();
void ClearMessageBoxes();
// Called with each box's text as it is shown, before it is recorded; an empty one stops watching.
void WatchMessageBoxes(std::function<void(const std::string&)> watch);

// The next `count` heap allocations of at least `minBytes` fail, once `skip` such allocations have
// passed; 0 stops failing.
void FailAllocations(int count, size_t minBytes = 0, int skip = 0);

// The file calls a test can make fail, as a memory card that is slow to wake would.
using FileCall = platform_internal::FileCall;
// The next `count` calls of that kind fail with `error` (0 stops failing).
void FailFileCalls(FileCall call, int count, DWORD error);

// Opening the file now at this host path fails as for a file the user may not read (a test runs
// as root, which may read any), wherever it is moved; a new file made at the name opens. Empty
// denies nothing.
void DenyOpening(const std::string& hostPath);

// Counts the calls that change files: writes, flushes, moves and deletes. The `k`-th of them
// from now kills this process with SIGKILL before it runs, as a pulled battery would; 0 only
// restarts the count.
void KillAtFileCall(int k);
// The calls that change files since the last KillAtFileCall.
int ChangingFileCalls();

}  // namespace nullbackend
