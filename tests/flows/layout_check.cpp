#include "flows/layout_check.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <vector>

#include "assets/dialog_fit.h"
#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "engine/ui/image_widgets.h"
#include "engine/ui/text_widgets.h"
#include "engine/ui/widget_desc.h"
#include "flows/screen_reading.h"
#include "game/app/game_app.h"
#include "game/app/game_screen.h"

namespace {

// A panel's inner rectangle as its art marks it: the margins in the art's units, and the art's
// size, of which the nine tiles each take a third.
struct PanelInner {
    double left = 0, top = 0, right = 0, bottom = 0;
    double width = 0, height = 0;
};

// The value of attribute `name` in the tag text, or -1.
double Attribute(const std::string& tag, const std::string& name)
{
    size_t at = tag.find(" " + name + "=\"");
    return at == std::string::npos ? -1 : std::atof(tag.c_str() + at + name.size() + 3);
}

// The tag of the element with id `id` in the SVG, or the root <svg> tag for an empty id.
std::string SvgTag(const std::string& svg, const std::string& id)
{
    size_t at = id.empty() ? svg.find("<svg") : svg.find("id=\"" + id + "\"");
    if (at == std::string::npos)
        return "";
    size_t open = svg.rfind('<', at);
    size_t close = svg.find('>', at);
    return open == std::string::npos || close == std::string::npos ? "" : svg.substr(open, close - open);
}

// The set name of a panel's top-left tile to its inner rectangle, from the art list: each
// picture that splits into tiles names its source, whose element "inner" is the carved inside.
const std::map<std::string, PanelInner>& PanelInners()
{
    static const std::map<std::string, PanelInner> inners = [] {
        std::map<std::string, PanelInner> found;
        const std::string list = KELO_ART_LIST;
        const std::string folder = list.substr(0, list.find_last_of('/') + 1);
        std::ifstream in(list);
        std::string line, source;
        while (std::getline(in, line)) {
            std::istringstream words(line);
            std::string key, value;
            words >> key >> value;
            if (key == "picture")
                source.clear();
            else if (key == "source")
                source = value;
            else if (key == "split" && !source.empty()) {
                std::ifstream file(folder + source);
                std::stringstream svg;
                svg << file.rdbuf();
                const std::string root = SvgTag(svg.str(), ""), inner = SvgTag(svg.str(), "inner");
                if (inner.empty())
                    continue;
                PanelInner panel;
                panel.width = Attribute(root, "width");
                panel.height = Attribute(root, "height");
                panel.left = Attribute(inner, "x");
                panel.top = Attribute(inner, "y");
                panel.right = panel.width - panel.left - Attribute(inner, "width");
                panel.bottom = panel.height - panel.top - Attribute(inner, "height");
                found[value] = panel;
            }
        }
        return found;
    }();
    return inners;
}

// The dialog's inside: its panel less the frame the panel's art draws; the dialog's box for a
// dialog without a panel of known art.
Box InnerOf(GameApp* app, ScriptWidget* dialog)
{
    auto* tiles = dynamic_cast<TiledBgWidget*>(dialog->GetBackgroundWidget());
    auto* desc = tiles ? dynamic_cast<TiledBgDesc*>(tiles->GetDesc()) : nullptr;
    if (!desc || !desc->tiles[kTileLeftTop].CStr())
        return BoxOf(dialog);
    const Box box = BoxOf(tiles);
    auto found = PanelInners().find(desc->tiles[kTileLeftTop].CStr());
    if (found == PanelInners().end())
        return BoxOf(dialog);
    // The art is drawn at the design scale: a third of it is one tile of the screen's size.
    const PanelInner& panel = found->second;
    const double scale = app->GetLayoutTable().fixed[0].raw / 256.0;
    const int left = int(panel.left * scale + 0.5), top = int(panel.top * scale + 0.5);
    const int right = int(panel.right * scale + 0.5), bottom = int(panel.bottom * scale + 0.5);
    return Box{box.x + left, box.y + top, box.w - left - right, box.h - top - bottom};
}

// A thing the player sees: a widget's box, or one line of text it draws.
struct Piece {
    std::string name;
    Box box;
    ScriptWidget* owner;
    // The dialog (or screen) whose surface the piece lies on.
    ScriptWidget* layer;
    bool text;
    // A text's inked rows, screen rows; the line's rows when nothing is inked.
    int inkTop, inkBottom;
};

std::string Describe(const Box& box)
{
    std::ostringstream out;
    out << box.x << "," << box.y << " " << box.w << "x" << box.h;
    return out.str();
}

void AddTexts(ScriptWidget* widget, ScriptWidget* layer, std::vector<Piece>& pieces)
{
    TextPlace places[8];
    const int count = std::min(widget->GetTextPlaces(places, 8), 8);
    for (int i = 0; i < count; ++i) {
        const TextPlace& place = places[i];
        if (place.w <= 0)
            continue;
        Piece piece{std::string(widget->GetName() ? widget->GetName() : "?") + " \"" + place.text.CStr() + "\"",
                    Box{place.x, place.y, place.w, place.h}, widget, layer, true, place.y, place.y + place.h};
        int top = 0, bottom = 0;
        if (place.font && place.font->MeasureInk(place.text.CStr(), &top, &bottom)) {
            piece.inkTop = place.y + top;
            piece.inkBottom = place.y + bottom;
        }
        pieces.push_back(piece);
    }
}

void Collect(ScriptWidget* node, ScriptWidget* layer, std::vector<Piece>& pieces)
{
    for (int i = 0; i < node->GetChildCount(); ++i) {
        ScriptWidget* part = AsScriptWidget(node->GetChild(i));
        if (!part || !part->IsVisible() || part->GetEffectiveAlpha() <= 0 || part == node->GetBackgroundWidget())
            continue;
        // A text widget shows nothing but its lines: they stand for it.
        if (!dynamic_cast<TextWidget*>(part))
            pieces.push_back(Piece{part->GetName() ? part->GetName() : "?", BoxOf(part), part, layer, false, 0, 0});
        AddTexts(part, layer, pieces);
        Collect(part, part->IsDialog() ? part : layer, pieces);
    }
}

// The text's inked box: the line's columns over the rows its glyphs cover.
Box InkOf(const Piece& piece)
{
    return piece.text ? Box{piece.box.x, piece.inkTop, piece.box.w, piece.inkBottom - piece.inkTop} : piece.box;
}

}  // namespace

int ExpectLaidOut(GameApp* app, const std::string& where)
{
    GameScreen* screen = ShownScreen(app);
    Surface* display = app ? app->GetScreenSurface() : nullptr;
    if (!screen || !display) {
        ADD_FAILURE() << where << ": no screen";
        return 1;
    }
    int findings = 0;
    auto finding = [&](const std::string& what) {
        ++findings;
        ADD_FAILURE() << where << ": " << what;
    };
    // Without the panels' marks every frame would pass for the whole dialog.
    if (PanelInners().size() < 2)
        finding("the dialog panels' art marks no inside");
    std::vector<Piece> pieces;
    AddTexts(screen, screen, pieces);
    Collect(screen, screen, pieces);
    const Box whole{0, 0, display->GetWidth(), display->GetHeight()};
    Rect exit;
    const bool hasExit = app->GetExitButtonRect(exit);
    const Box corner{exit.x, exit.y, exit.w, exit.h};

    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        const Box ink = InkOf(piece);
        if (!ink.Inside(whole))
            finding(piece.name + " at " + Describe(ink) + " reaches off the screen");
        // A backdrop as large as the screen lies under everything.
        if (hasExit && ink.Overlaps(corner) && !whole.Inside(ink))
            finding(piece.name + " at " + Describe(ink) + " lies under the close button");
        // Across, the whole line must lie within the box; down, its glyphs must be no taller
        // (a caption may stand above its box's middle, over an underline).
        const Box own = piece.owner != piece.layer ? BoxOf(piece.owner) : whole;
        if (piece.text && (piece.box.x < own.x || piece.box.x + piece.box.w > own.x + own.w || ink.h > own.h))
            finding(piece.name + " at " + Describe(piece.box) + " is larger than its box " + Describe(own));
        if (piece.layer != screen && !piece.layer->IsRoot()) {
            const Box inner = InnerOf(app, piece.layer);
            if (!InkOf(piece).Inside(inner))
                finding(piece.name + " at " + Describe(InkOf(piece)) + " reaches past the frame of " +
                        piece.layer->GetName() + ", inside " + Describe(inner));
        }
        // Two lines meet where their glyphs do: the blank rows of a line may lie under another.
        for (size_t j = 0; piece.text && j < i; ++j) {
            const Piece& other = pieces[j];
            if (other.text && other.layer == piece.layer && ink.Overlaps(InkOf(other)))
                finding(piece.name + " at " + Describe(ink) + " overlaps " + other.name + " at " +
                        Describe(InkOf(other)));
        }
    }
    return findings;
}
