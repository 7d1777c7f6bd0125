#pragma once
// What a run draws again. The build runs the tool when its stamp is older than anything its depfile
// names (the list, a source, a file the tool wrote) or something there is gone; the stamp's time and
// lines then tell which pictures that concerns, so an edited source redraws its own pictures only
// and a staged file deleted or edited by hand is made again.
#include <string>
#include <vector>

#include "tools/arttool/art_list.h"

namespace art {

struct Redraw {
    std::vector<bool> pictures, atlases;  // one flag per picture and per atlas of the list
    bool scripts = true;
    std::vector<std::string> kept;        // files of the last run that stay as they are, below the stage
};

// Everything is drawn without a stamp, or when the list or the tool itself is newer than it.
Redraw WhatToRedraw(const ArtList& list, const std::string& listPath, const std::string& stamp,
                    const std::string& stage);

// The files below the stage a picture, an atlas or the sprite scripts may have the tool write
// ('/' separators): every format, as a picture may have changed format since.
std::vector<std::string> PictureFiles(const Picture& picture);
std::vector<std::string> AtlasFiles(const Atlas& atlas);
std::vector<std::string> ScriptFiles();

}  // namespace art
