#pragma once
// SVG sources: reading, the checks that keep a picture independent of the machine (no text,
// which would follow its fonts; no files besides the source), frame templates and rendering.
#include <string>
#include <vector>

#include "tools/arttool/art_list.h"
#include "tools/arttool/folders.h"
#include "tools/arttool/image.h"

namespace art {

struct SvgSource {
    std::string file;
    std::string text;
    bool templated = false;  // holds ${name} places filled per frame
};

// Reads and checks a source; `error` is "<file>:<line>: <message>".
bool ReadSvgSource(const std::string& file, SvgSource& out, std::string& error);

// The source with every ${name} replaced by the frame's value; ${frame} is the frame number.
bool FillTemplate(const SvgSource& source, const std::vector<FrameVar>& vars, int frame, std::string& out,
                  std::string& error);

// The picture's frames as one sheet (columns x rows cells) at a scale, or for a screen picture
// the whole canvas. Checks the source's size against the picture's grid.
bool RenderPicture(const Picture& picture, const SvgSource& source, const Scale& scale, Image& out,
                   std::string& error);

// The design size of one frame (or of the canvas for a screen picture).
bool FrameSize(const Picture& picture, const SvgSource& source, int& width, int& height, std::string& error);

}  // namespace art
