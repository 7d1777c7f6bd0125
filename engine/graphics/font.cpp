#include "engine/graphics/font.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "engine/core/application.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/text_builder.h"
#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"

namespace {

constexpr int kFirstCode = 32;
constexpr int kRecords = 224;
// The records, three 32-bit values each, then the 32-bit vertical trim.
constexpr int kTableBytes = kRecords * 12 + 4;
constexpr int32_t kMaxMetric = 1000;
// A trail beyond this is no real glyph's; it is held there so pen sums stay in range.
constexpr int32_t kMaxTrail = 100000;
// Past this the pen is off any surface, and the text loop stops.
constexpr int64_t kPenLimit = int64_t(1) << 30;

int32_t ClampInt(int64_t v)
{
    return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : static_cast<int32_t>(v);
}

// The path with its last 4 characters replaced by the suffix; false when it is shorter.
bool ReplaceExtension(const char* path, const char* suffix, TextBuilder& out)
{
    size_t length = strlen(path);
    if (length < 4)
        return false;
    out.Clear();
    return out.Append(path, length - 4) && out.Append(suffix, strlen(suffix));
}

// The path with ".fdb" appended, else with its extension replaced by ".fdb".
LoadResult OpenMetrics(Application* app, const char* path, std::unique_ptr<PackMemoryFile>& out)
{
    TextBuilder name;
    std::unique_ptr<PackMemoryFile> file(app->CreatePackMemoryFile());
    if (!file)
        return LoadResult::Failed(path, "no memory left");
    LoadResult why = LoadResult::Failed(path, "no memory left");
    if (name.Append(path, strlen(path)) && name.Append(".fdb", 4))
        why = file->Load(app, name.CStr());
    if (why.IsMissing() && ReplaceExtension(path, ".fdb", name))
        why = file->Load(app, name.CStr());
    if (why.ok())
        out = std::move(file);
    return why;
}

}  // namespace

Font::Font(Application* application) : application_(application) {}

Font::~Font()
{
    Forget();
}

void Font::Forget()
{
    coverage_ = nullptr;
    texture_ = nullptr;
    glyphSurface_.reset();
}

void Font::ClearRecords()
{
    for (int i = 0; i < 256; ++i) {
        glyphs_[i] = Glyph();
        cells_[i] = Cell();
        advances_[i] = 0;
    }
}

LoadResult Font::Load(const char* path)
{
    Forget();
    if (!application_ || !path)
        return LoadResult::Failed(path, "no application to read it");
    glyphSurface_.reset(application_->CreateImage());
    if (!glyphSurface_)
        return LoadResult::Failed(path, "no memory left");
    glyphSurface_->SetOrientation(0);  // glyph images are never turned for the screen rotation
    LoadResult why = LoadJpegAlpha(application_, path, glyphSurface_.get()).why;
    if (why.failed())
        return why;
    int width = glyphSurface_->GetWidth();
    int height = glyphSurface_->GetHeight();
    TextBuilder texturePath;
    // The texture is optional: one missing, damaged or of any other size than the mask leaves no
    // pixels, and the font draws in flat colour.
    bool textured = ReplaceExtension(path, "_eff.jpg", texturePath) &&
                    LoadJpeg(application_, texturePath.CStr(), glyphSurface_.get(), width, height).value;
    coverage_ = glyphSurface_->GetAlpha();
    texture_ = textured ? glyphSurface_->GetPixels() : nullptr;
    glyphWidth_ = width;
    glyphHeight_ = height;

    ClearRecords();
    std::unique_ptr<PackMemoryFile> file;
    why = OpenMetrics(application_, path, file);
    if (why.failed())
        return why;
    // Every record and the trim after them must be there: every font's table carries its trim,
    // so one without it is a table cut by its last field, and its glyphs may be cut too.
    if (file->GetSize() < kTableBytes) {
        why = file->Refused("damaged: its glyph table is cut short");
        Forget();
        return why;
    }
    if (!file->Seek(0, kSeekStart)) {
        why = file->Refused(nullptr);
        Forget();
        return why;
    }
    bool anyWidth = false;
    for (int i = 0; i < kRecords; ++i) {
        int32_t values[3];
        bool whole = true;
        for (int32_t& v : values)
            whole = whole && file->ReadInt32(&v) == 4;
        if (!whole)
            break;
        glyphs_[kFirstCode + i] = Glyph{values[0], values[1], values[2]};
        anyWidth = anyWidth || values[1] != 0;
    }
    int32_t trim = 0;
    if (file->ReadInt32(&trim) == 4)
        verticalTrim_ = trim;
    // A table without a single glyph of any width is a zeroed file: its text would draw as nothing.
    if (!anyWidth) {
        why = file->Refused("damaged: its glyph table holds no glyph");
        Forget();
        return why;
    }

    cellWidth_ = width / 16;
    cellHeight_ = height / 14;
    // The space record is fixed up first, against itself; the others fall back on it.
    Glyph& space = glyphs_[kFirstCode];
    if (space.lead < -kMaxMetric || space.lead > kMaxMetric)
        space.lead = 0;
    if (space.width < 0 || space.width > kMaxMetric)
        space.width = 0;
    for (int i = 0; i < kRecords; ++i) {
        Glyph& g = glyphs_[kFirstCode + i];
        if (g.lead < -kMaxMetric || g.lead > kMaxMetric)
            g.lead = space.lead;
        if (g.width < 0 || g.width > kMaxMetric)
            g.width = space.width;
        if (g.trail < -kMaxTrail || g.trail > kMaxTrail)
            g.trail = g.trail < 0 ? -kMaxTrail : kMaxTrail;
        Cell& cell = cells_[kFirstCode + i];
        cell.x0 = ((i % 16) * width) / 16;
        cell.y0 = ((i / 16) * height) / 14;
        cell.y1 = cell.y0 + cellHeight_;
        UpdateCell(kFirstCode + i);
    }
    spaceWidth_ = advances_[static_cast<unsigned char>('_')];
    return LoadResult();
}

void Font::UpdateCell(int code)
{
    const Glyph& g = glyphs_[code];
    cells_[code].x1 = ClampInt(int64_t(cells_[code].x0) + (int64_t(g.lead) + g.width) / 4);
    advances_[code] = ClampInt((int64_t(g.width) + g.trail) / 4);
}

void Font::SetGlyph(int code, int lead, int width, int trail)
{
    code &= 255;
    glyphs_[code] = Glyph{lead, width, trail};
    UpdateCell(code);
}

void Font::GetGlyph(int code, int* lead, int* width, int* trail) const
{
    const Glyph& g = glyphs_[code & 255];
    if (lead)
        *lead = g.lead;
    if (width)
        *width = g.width;
    if (trail)
        *trail = g.trail;
}

int Font::GetLineHeight() const
{
    return extraHeight_ - (verticalTrim_ >> 1) + cellHeight_;
}

int Font::MeasureText(const char* text) const
{
    if (!text)
        return 0;
    int64_t width = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p)
        width += *p == ' ' ? spaceWidth_ : int64_t(Advance(*p)) + extraWidth_;
    return ClampInt(width);
}

void Font::DrawString(SurfaceBase* surface, int x, int y, const char* text, Colour colour, int alpha,
                      const Rect* clip, GlyphRoutine glyph) const
{
    int yg = y + extraHeight_ / 2;
    int64_t pen = x;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (pen > kPenLimit || pen < -kPenLimit)
            return;
        if (*p == ' ')
            pen += spaceWidth_;
        else
            pen += int64_t((this->*glyph)(surface, *p, static_cast<int>(pen), yg, colour, alpha, clip)) + extraWidth_;
    }
}

namespace {

struct Offset {
    int x, y;
};
const Offset kShadow[] = {{1, 1}};
const Offset kBorder[] = {{1, -1}, {-1, -1}, {-1, 1}, {1, 1}};
const Offset kGlow[] = {{2, -2}, {-2, -2}, {-2, 2}, {2, 2}, {2, 0}, {0, -2}, {0, 2}, {-2, 0}};
const Offset kRing[] = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1}, {0, 1}, {1, -1}, {1, 0}, {1, 1}};

// The passes drawn under the text for an effect: offsets, their count, colour and alpha.
struct EffectPasses {
    const Offset* offsets = nullptr;
    int count = 0;
    int r = 0, g = 0, b = 0;
    int alpha = 0;
};

EffectPasses PassesFor(int effect, int alpha, bool yellowGlow)
{
    EffectPasses e;
    switch (effect) {
    case kEffectShadow:
        e = {kShadow, 1, 0, 0, 0, alpha};
        break;
    case kEffectBorder:
        e = {kBorder, 4, 0, 0, 0, alpha};
        break;
    case kEffectGlow:
        e = {kGlow, 8, 0, 0, 0, alpha > 224 ? alpha - 224 : 0};
        if (yellowGlow) {
            e.r = e.g = 255;
            e.b = 90;
        }
        break;
    case kEffectWhiteBorder:
        e = {kRing, 8, 255, 255, 255, alpha >> 1};
        break;
    case kEffectBorder2:
        e = {kRing, 8, 0, 0, 0, alpha >> 1};
        break;
    default:
        break;
    }
    return e;
}

}  // namespace

EffectReach ReachOfEffect(int effect)
{
    EffectReach reach;
    const EffectPasses passes = PassesFor(effect, 255, false);
    for (int i = 0; i < passes.count; ++i) {
        reach.left = std::max(reach.left, -passes.offsets[i].x);
        reach.top = std::max(reach.top, -passes.offsets[i].y);
        reach.right = std::max(reach.right, passes.offsets[i].x);
        reach.bottom = std::max(reach.bottom, passes.offsets[i].y);
    }
    return reach;
}

// Every depth but 16 draws each glyph's effect passes just before the glyph itself.
void Font::DrawStringEffects(SurfaceBase* surface, int x, int y, const char* text, Colour colour, int effect,
                             int alpha, const Rect* clip, GlyphRoutine glyph) const
{
    EffectPasses passes = PassesFor(effect, alpha, true);
    int yg = y + extraHeight_ / 2;
    int64_t pen = x;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (pen > kPenLimit || pen < -kPenLimit)
            return;
        if (*p == ' ') {
            pen += spaceWidth_;
            continue;
        }
        if (effect < 0 || effect > kEffectBorder2) {
            pen += int64_t(spaceWidth_) + extraWidth_;
            continue;
        }
        int px = static_cast<int>(pen);
        for (int i = 0; i < passes.count; ++i)
            (this->*glyph)(surface, *p, px + passes.offsets[i].x, yg + passes.offsets[i].y,
                           Colour{passes.r, passes.g, passes.b}, passes.alpha, clip);
        pen += int64_t((this->*glyph)(surface, *p, px, yg, colour, alpha, clip)) + extraWidth_;
    }
}

void Font::DrawText(SurfaceBase* surface, int x, int y, const char* text, int r, int g, int b, int effect, int alpha,
                    const Rect* clip) const
{
    if (!surface || !coverage_ || !text || !*text)
        return;
    alpha = alpha > 255 ? 255 : alpha;
    Colour colour{r & 255, g & 255, b & 255};
    int y0 = y - (verticalTrim_ >> 2);
    int depth = surface->GetBitDepth();
    int bytes = surface->GetBytesPerPixel();
    if (depth == 16 && bytes == 2) {
        if (effect < 0 || effect > kEffectBorder2)
            return;
        EffectPasses passes = PassesFor(effect, alpha, false);
        for (int i = 0; i < passes.count; ++i)
            DrawString(surface, x + passes.offsets[i].x, y0 + passes.offsets[i].y, text,
                       Colour{passes.r, passes.g, passes.b}, passes.alpha, clip, &Font::DrawGlyph565);
        DrawString(surface, x, y0, text, colour, alpha, clip, &Font::DrawGlyph565);
        return;
    }
    GlyphRoutine glyph = nullptr;
    if (depth == 32 && bytes == 4)
        glyph = &Font::DrawGlyph8888;
    else if (depth == 24 && bytes == 3)
        glyph = &Font::DrawGlyph888;
    else if (depth == 15 && bytes == 2)
        glyph = &Font::DrawGlyph555;
    else if (depth == 12 && bytes == 2)
        glyph = &Font::DrawGlyph444;
    if (glyph)
        DrawStringEffects(surface, x, y0, text, colour, effect, alpha, clip, glyph);
}
