#pragma once
// The game application of the benchmarks: the program folder is the build's, where the packs lie.
#include <string>

#include "game/app/game_app.h"

class BenchApp : public GameApp {
public:
    String GetExeDirectory() override
    {
        std::string folder = KELO_DATA_DIR;
        for (char& c : folder)
            c = c == '/' ? '\\' : c;
        return String((folder + "\\").c_str());
    }
};
