#pragma once
// What our art sources mark for the layout check, read from the art list and the SVGs it names,
// with the first frame's values filled in: the insides of the panels a picture paints (elements
// whose id begins with "inner") and a button's plain middle between its end ornaments (the line
// "plain"), in the source's own units.
#include <string>
#include <vector>

struct ArtRect {
    double x = 0, y = 0, w = 0, h = 0;
};

struct ArtPicture {
    std::string path;                 // below the image folder, as the game names it
    std::vector<std::string> only;    // the image folders it is drawn for; empty for all
    std::vector<std::string> sets;    // the sets it declares, a split's tiles in order
    bool screen = false;              // drawn on the design canvas, cut per folder
    double width = 0, height = 0;     // the source's size: one frame, or a split's whole panel
    std::vector<ArtRect> inners;
    bool hasPlain = false;
    double plainLeft = 0, plainRight = 0;

    // Whether the picture is drawn for the image folder ("i_QVGA").
    bool ForFolder(const std::string& folder) const;
};

// The picture for the folder that declares the set (a split by its first tile), or that lies at
// the path; null when there is none.
const ArtPicture* ArtPictureOfSet(const std::string& set, const std::string& folder);
const ArtPicture* ArtPictureAt(const std::string& path, const std::string& folder);
// How many pictures mark a panel's inside: a check without them would pass everything.
int ArtPicturesWithInners();
