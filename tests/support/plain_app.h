#pragma once
// The base of the tests' applications: what a game must answer, answered plainly (default
// options, no language to load, no folders, no packs by name). Each test application replaces
// what it needs.
#include <new>

#include "engine/core/application.h"
#include "engine/core/options_record.h"

class PlainApp : public Application {
public:
    OptionsRecord* CreateOptionsRecord() override { return new (std::nothrow) OptionsRecord(); }
    LoadResult LoadLanguage() override { return LoadResult(); }
    String GetImageFolder() override { return String(); }
    String GetSoundFolder() override { return String(); }
    String GetSaveDirectory() override { return String(); }
    String GetCommonPackName() override { return String(); }
    String GetScreenPackName() override { return String(); }
};
