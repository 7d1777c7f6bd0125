#pragma once
// The fuzz application reading every file from the scratch folder on disk, packs off.
#include "fuzz_support.h"

class DiskFuzzApp : public FuzzApp {
public:
    DiskFuzzApp() : FuzzApp(FuzzEnginePath("")) { packsEnabled_ = false; }
};
