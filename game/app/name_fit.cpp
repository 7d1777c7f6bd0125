#include "game/app/name_fit.h"

#include <functional>
#include <string>

#include "engine/core/format_text.h"
#include "engine/graphics/font.h"
#include "engine/graphics/wrapped_text.h"
#include "engine/ui/text_widgets.h"

namespace {

constexpr const char* kEllipsis = "\x85";  // in the language file's 8-bit encoding

String Fit(const char* format, const char* name, const std::function<bool(const char*)>& fits)
{
    std::string kept = name ? name : "";
    String text = FormatText(format, {kept.c_str()});
    if (fits(text.CStr()))
        return text;
    while (!kept.empty()) {
        kept.pop_back();
        while (!kept.empty() && kept.back() == ' ')
            kept.pop_back();
        text = FormatText(format, {(kept + kEllipsis).c_str()});
        if (fits(text.CStr()))
            return text;
    }
    return FormatText(format, {" "});
}

}  // namespace

String FitName(const char* format, const char* name, const Font* font, int room)
{
    return Fit(format, name, [&](const char* text) { return !font || font->MeasureText(text) <= room; });
}

String FitNameOnOneLine(const char* format, const char* name, const TextMultiWidget* paragraph)
{
    const Font* font = paragraph ? paragraph->GetLook().font : nullptr;
    // A word wider than the paragraph stands alone on its line, so the width is measured too.
    return Fit(format, name, [&](const char* text) {
        WrappedText block;
        return !font || !block.SetText(paragraph->GetWrapWidth(), font, text) ||
               (block.GetLineCount() <= 1 && font->MeasureText(text) <= paragraph->GetWrapWidth());
    });
}
