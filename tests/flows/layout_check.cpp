#include "flows/layout_check.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/graphics/font.h"
#include "engine/graphics/surface.h"
#include "engine/ui/button_widget.h"
#include "engine/ui/image_widgets.h"
#include "engine/ui/text_widgets.h"
#include "engine/ui/widget_desc.h"
#include "flows/art_marks.h"
#include "flows/screen_reading.h"
#include "game/app/game_app.h"
#include "game/app/game_screen.h"
#include "game/app/resource_folders.h"
#include "support/widget_box.h"

namespace {

// The image folder the game reads for its screen ("i_QVGA").
std::string FolderOf(GameApp* app)
{
    Surface* display = app->GetScreenSurface();
    std::string folder = ImageFolderName(display->GetWidth(), display->GetHeight());
    return folder.substr(0, folder.find('\\'));
}

// Screen pixels per design unit.
double ScaleOf(GameApp* app)
{
    return app->GetLayoutTable().fixed[kLayoutDesignScale].raw / 256.0;
}

int Round(double value)
{
    return static_cast<int>(value + (value < 0 ? -0.5 : 0.5));
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
    const ArtPicture* art = ArtPictureOfSet(desc->tiles[kTileLeftTop].CStr(), FolderOf(app));
    if (!art || art->inners.empty())
        return BoxOf(dialog);
    // The art is drawn at the design scale: a third of it is one tile of the screen's size.
    const ArtRect& inner = art->inners[0];
    const double scale = ScaleOf(app);
    const int left = Round(inner.x * scale), top = Round(inner.y * scale);
    const int right = Round((art->width - inner.x - inner.w) * scale);
    const int bottom = Round((art->height - inner.y - inner.h) * scale);
    return Box{box.x + left, box.y + top, box.w - left - right, box.h - top - bottom};
}

// The art of the button's image, or null.
const ArtPicture* ButtonArt(GameApp* app, ButtonWidget* button)
{
    auto* desc = dynamic_cast<ButtonDesc*>(button->GetDesc());
    return desc && desc->image.set.CStr() ? ArtPictureOfSet(desc->image.set.CStr(), FolderOf(app)) : nullptr;
}

// Where a button's caption may go: its plain middle between the end ornaments its art marks, or
// the whole button.
Box CaptionRoom(GameApp* app, ButtonWidget* button)
{
    const Box box = BoxOf(button);
    const ArtPicture* art = ButtonArt(app, button);
    if (!art || !art->hasPlain || art->width <= 0 || button->GetImage().GetWidth() <= 0)
        return box;
    const double scale = button->GetImage().GetWidth() / art->width;
    const int left = Round(art->plainLeft * scale), right = Round(art->plainRight * scale);
    return Box{box.x + left, box.y, right - left, box.h};
}

// Pictures a screen draws itself rather than through an image widget, by its layout root. The
// map tool writes their marks where the picture lies on the screen, in the screen's pixels.
const char* DrawnPicture(const char* root)
{
    static const char* const kDrawn[][2] = {{"root_gauntlet", "ui\\map\\gaunt_bg"},
                                             {"root_adventure", "ui\\map\\adv_back"}};
    for (const auto& drawn : kDrawn)
        if (root && std::strcmp(root, drawn[0]) == 0)
            return drawn[1];
    return nullptr;
}

// The insides of the panels painted under the screen's texts: those of its own picture, and of
// the screen-size pictures its image widgets show (marked in design units).
std::vector<Box> PaintedPanels(GameApp* app, GameScreen* screen)
{
    std::vector<Box> panels;
    const std::string folder = FolderOf(app);
    if (const char* path = DrawnPicture(screen->GetName())) {
        if (const ArtPicture* art = ArtPictureAt(path, folder))
            for (const ArtRect& inner : art->inners)
                panels.push_back(Box{Round(inner.x), Round(inner.y), Round(inner.w), Round(inner.h)});
    }
    const double scale = ScaleOf(app);
    const int areaX = app->GetLayoutTable().ints[kLayoutOriginX], areaY = app->GetLayoutTable().ints[kLayoutOriginY];
    for (int i = 0; i < screen->GetChildCount(); ++i) {
        auto* image = dynamic_cast<ImageWidget*>(AsScriptWidget(screen->GetChild(i)));
        auto* desc = image && image->IsVisible() ? dynamic_cast<ImageDesc*>(image->GetDesc()) : nullptr;
        const ArtPicture* art = desc && desc->image.file.CStr() ? ArtPictureAt(desc->image.file.CStr(), folder)
                                                                 : nullptr;
        if (!art || !art->screen)
            continue;
        // The picture is cut where the screen begins on the design canvas.
        const Box at = BoxOf(image);
        for (const ArtRect& inner : art->inners) {
            const int x = at.x + areaX + Round(inner.x * scale), y = at.y + areaY + Round(inner.y * scale);
            panels.push_back(Box{x, y, at.x + areaX + Round((inner.x + inner.w) * scale) - x,
                                 at.y + areaY + Round((inner.y + inner.h) * scale) - y});
        }
    }
    return panels;
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
    // How far the text's effect (a shadow, a border) reaches past its glyphs.
    EffectReach reach;
};

std::string Describe(const Box& box)
{
    std::ostringstream out;
    out << box.x << "," << box.y << " " << box.w << "x" << box.h;
    return out.str();
}

// The effect a widget draws its text with; none for what a screen draws itself.
int EffectOf(ScriptWidget* widget)
{
    if (auto* text = dynamic_cast<TextWidget*>(widget))
        return text->GetLook().effect;
    if (auto* button = dynamic_cast<ButtonWidget*>(widget))
        return button->GetLook().effect;
    return kEffectNone;
}

// Every line the widget draws, however many; a widget that draws more lines than it said it
// would is a finding, since the check would miss some.
void AddTexts(ScriptWidget* widget, ScriptWidget* layer, std::vector<Piece>& pieces,
              std::vector<std::string>& findings)
{
    const int count = std::max(widget->GetTextPlaces(nullptr, 0), 0);
    std::vector<TextPlace> places(static_cast<size_t>(count));
    const int again = widget->GetTextPlaces(places.data(), count);
    if (again != count)
        findings.push_back(std::string(widget->GetName() ? widget->GetName() : "?") + " gives " +
                           std::to_string(again) + " text places after " + std::to_string(count));
    const EffectReach reach = widget == layer ? EffectReach{} : ReachOfEffect(EffectOf(widget));
    for (int i = 0; i < count; ++i) {
        const TextPlace& place = places[i];
        if (place.w <= 0)
            continue;
        Piece piece{std::string(widget->GetName() ? widget->GetName() : "?") + " \"" + place.text.CStr() + "\"",
                    Box{place.x, place.y, place.w, place.h}, widget, layer, true, place.y, place.y + place.h, reach};
        int top = 0, bottom = 0;
        if (place.font && place.font->MeasureInk(place.text.CStr(), &top, &bottom)) {
            piece.inkTop = place.y + top;
            piece.inkBottom = place.y + bottom;
        }
        pieces.push_back(piece);
    }
}

void Collect(ScriptWidget* node, ScriptWidget* layer, std::vector<Piece>& pieces, std::vector<std::string>& findings)
{
    for (int i = 0; i < node->GetChildCount(); ++i) {
        ScriptWidget* part = AsScriptWidget(node->GetChild(i));
        if (!part || !part->IsVisible() || part->GetEffectiveAlpha() <= 0 || part == node->GetBackgroundWidget())
            continue;
        // A text widget shows nothing but its lines: they stand for it.
        if (!dynamic_cast<TextWidget*>(part))
            pieces.push_back(Piece{part->GetName() ? part->GetName() : "?", BoxOf(part), part, layer, false, 0, 0, {}});
        AddTexts(part, layer, pieces, findings);
        Collect(part, part->IsDialog() ? part : layer, pieces, findings);
    }
}

// The text's inked box: the line's columns over the rows its glyphs cover.
Box InkOf(const Piece& piece)
{
    return piece.text ? Box{piece.box.x, piece.inkTop, piece.box.w, piece.inkBottom - piece.inkTop} : piece.box;
}

// What the player sees of it: the inked box and its effect's reach.
Box SeenOf(const Piece& piece)
{
    const Box ink = InkOf(piece);
    const EffectReach& r = piece.reach;
    return Box{ink.x - r.left, ink.y - r.top, ink.w + r.left + r.right, ink.h + r.top + r.bottom};
}

const char* NameOf(ScriptWidget* widget)
{
    return widget->GetName() ? widget->GetName() : "?";
}

// A dialog's own parts, the texts' boxes among them, lie inside it and apart from one another; a
// caption on a button whose art marks no plain middle leaves the carved ends (an eighth of the
// button's width together, and a little more) free.
template <typename Finding>
void CheckDialogParts(GameApp* app, ScriptWidget* dialog, Finding& finding)
{
    const Box whole = BoxOf(dialog);
    std::vector<std::pair<ScriptWidget*, Box>> parts;
    for (int i = 0; i < dialog->GetChildCount(); ++i) {
        ScriptWidget* part = AsScriptWidget(dialog->GetChild(i));
        if (!part || !part->IsVisible() || part->GetEffectiveAlpha() <= 0 || part == dialog->GetBackgroundWidget())
            continue;
        const Box box = BoxOf(part);
        if (!box.Inside(whole))
            finding(std::string(NameOf(part)) + " at " + Describe(box) + " lies outside " + NameOf(dialog) + " at " +
                    Describe(whole));
        for (const auto& [other, otherBox] : parts) {
            if (box.Overlaps(otherBox))
                finding(std::string(NameOf(part)) + " at " + Describe(box) + " covers " + NameOf(other) + " at " +
                        Describe(otherBox));
        }
        parts.emplace_back(part, box);
        auto* button = dynamic_cast<ButtonWidget*>(part);
        const char* caption = button ? button->GetCaption().CStr() : nullptr;
        if (!caption || dynamic_cast<CheckBoxWidget*>(part) || !button->GetLook().font)
            continue;
        if (const ArtPicture* art = ButtonArt(app, button); art && art->hasPlain)
            continue;
        const int width = button->GetLook().font->MeasureText(caption);
        if (width > box.w * 13 / 16)
            finding(std::string(NameOf(part)) + " \"" + caption + "\" is " +
                    std::to_string(width) + " px wide, more than its face between the carved ends of " +
                    Describe(box));
    }
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
    // Without the art's marks every frame would pass for the whole dialog or screen.
    if (ArtPicturesWithInners() < 3)
        finding("the panels' art marks no inside");
    std::vector<Piece> pieces;
    std::vector<std::string> unread;
    AddTexts(screen, screen, pieces, unread);
    Collect(screen, screen, pieces, unread);
    for (const std::string& what : unread)
        finding(what);
    const Box whole{0, 0, display->GetWidth(), display->GetHeight()};
    // Text stands clear of the screen's edge by 2 pixels of the design, 1 at least.
    const int margin = std::max(1, Round(2 * ScaleOf(app)));
    const Box clear{margin, margin, whole.w - 2 * margin, whole.h - 2 * margin};
    const std::vector<Box> panels = PaintedPanels(app, screen);
    Rect exit;
    const bool hasExit = app->GetExitButtonRect(exit);
    const Box corner{exit.x, exit.y, exit.w, exit.h};

    for (size_t i = 0; i < pieces.size(); ++i) {
        const Piece& piece = pieces[i];
        const Box ink = InkOf(piece), seen = SeenOf(piece);
        if (!seen.Inside(piece.text ? clear : whole))
            finding(piece.name + " at " + Describe(seen) + (piece.text ? " comes nearer the screen's edge than " +
                                                                              std::to_string(margin) + " px"
                                                                        : " reaches off the screen"));
        // A backdrop as large as the screen lies under everything.
        if (hasExit && ink.Overlaps(corner) && !whole.Inside(ink))
            finding(piece.name + " at " + Describe(ink) + " lies under the close button");
        // Across, the whole line must lie within the box, a button's caption within its plain
        // middle; down, its glyphs must be no taller (a caption may stand above its box's middle,
        // over an underline).
        Box own = piece.owner != piece.layer ? BoxOf(piece.owner) : whole;
        auto* button = dynamic_cast<ButtonWidget*>(piece.owner);
        if (button && !dynamic_cast<CheckBoxWidget*>(button))
            own = CaptionRoom(app, button);
        if (piece.text && (piece.box.x < own.x || piece.box.x + piece.box.w > own.x + own.w || ink.h > own.h))
            finding(piece.name + " at " + Describe(piece.box) + " is larger than its room " + Describe(own));
        if (piece.layer != screen && !piece.layer->IsRoot()) {
            const Box inner = InnerOf(app, piece.layer);
            if (!ink.Inside(inner))
                finding(piece.name + " at " + Describe(ink) + " reaches past the frame of " + piece.layer->GetName() +
                        ", inside " + Describe(inner));
        }
        // A text on a panel the screen's picture paints stays inside it.
        for (const Box& panel : panels) {
            if (piece.text && piece.layer == screen && seen.Overlaps(panel) && !seen.Inside(panel))
                finding(piece.name + " at " + Describe(seen) + " runs past its panel, inside " + Describe(panel));
        }
        // Two lines meet where their glyphs do: the blank rows of a line may lie under another.
        for (size_t j = 0; piece.text && j < i; ++j) {
            const Piece& other = pieces[j];
            if (other.text && other.layer == piece.layer && ink.Overlaps(InkOf(other)))
                finding(piece.name + " at " + Describe(ink) + " overlaps " + other.name + " at " +
                        Describe(InkOf(other)));
        }
    }
    for (ScriptWidget* dialog : OpenDialogs(app))
        CheckDialogParts(app, dialog, finding);
    return findings;
}

int ExpectLaidOutWith(GameApp* app, ScriptWidget* dialog, const std::string& where)
{
    if (!dialog || !dialog->IsVisible() || dialog->GetEffectiveAlpha() <= 0) {
        ADD_FAILURE() << where << ": " << (dialog ? NameOf(dialog) : "the dialog") << " is not shown";
        return 1;
    }
    return ExpectLaidOut(app, where);
}
