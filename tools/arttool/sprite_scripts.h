#pragma once
// The three sprite scripts and the atlas data files, written from the art list. One script serves
// every resolution, so a set's count and columns are the same in every image folder.
#include <string>
#include <vector>

#include "tools/arttool/art_list.h"

namespace art {

// Where each frame of an atlas's member pictures sits in the atlas texture.
struct AtlasLayout {
    const Atlas* atlas = nullptr;
    struct Member {
        size_t picture;
        int frame;
    };
    std::vector<Member> members;  // item i of the atlas
    int FirstItemOf(size_t picture) const;
};

std::vector<AtlasLayout> LayOutAtlases(const ArtList& list);

// Writes ui/<script> below the stage for all three scripts (a script without sets is still written:
// the game reads all three).
bool WriteSpriteScripts(const ArtList& list, const std::vector<AtlasLayout>& atlases, const std::string& stage,
                        std::string& error);

// The atlas data file of one resolution: item count, then name, x, y, w, h of each item.
std::string AtlasData(const AtlasLayout& layout, int cellWidth, int cellHeight);

std::string ItemName(const Atlas& atlas, int index);

}  // namespace art
