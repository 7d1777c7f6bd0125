#include "engine/graphics/wrapped_text.h"

#include <cstring>
#include <memory>
#include <new>

#include "engine/core/text_builder.h"
#include "engine/graphics/font.h"

WrappedText::~WrappedText()
{
    Clear();
}

void WrappedText::Clear()
{
    for (int i = 0; i < lines_.Count(); ++i)
        delete static_cast<String*>(lines_.At(i));
    lines_.Clear();
}

bool WrappedText::StoreLine(const char* text)
{
    std::unique_ptr<String> line(new (std::nothrow) String(text));
    if (!line || (*text && line->IsEmpty()) || !lines_.Add(line.get()))
        return false;
    line.release();
    return true;
}

bool WrappedText::SetText(int wrapWidth, const Font* font, const char* text)
{
    if (!text || !*text || !font)
        return false;
    TextBuilder copy, line, word, joined;
    for (const char* p = text; *p; ++p)
        if (*p != '\r' && !copy.Append(*p))
            return false;
    int space = font->MeasureText(" ");
    space = space < 0 ? 0 : space > 10 ? 10 : space;
    const char* t = copy.CStr();
    size_t length = copy.Length();
    for (size_t i = 0; i <= length; ++i) {
        bool end = i == length;
        bool forced = !end && (t[i] == '\n' || (t[i] == '\\' && t[i + 1] == 'n'));
        if (!end && !forced && t[i] != ' ') {
            if (!word.Append(t[i]))
                return false;
            continue;
        }
        if (!end && t[i] == '\\')
            ++i;
        int64_t lineWidth = font->MeasureText(line.CStr());
        int64_t wordWidth = font->MeasureText(word.CStr());
        if (lineWidth + wordWidth + space >= wrapWidth) {
            if (line.Length() > 0 && !StoreLine(line.CStr()))
                return false;
            line.Clear();
            if (forced) {
                if (!StoreLine(word.CStr()))
                    return false;
            } else if (!line.Append(word.CStr(), word.Length())) {
                return false;
            }
            if (end && !StoreLine(line.CStr()))
                return false;
            word.Clear();
            continue;
        }
        joined.Clear();
        bool ok = line.Length() == 0 ? joined.Append(word.CStr(), word.Length())
                                     : joined.Append(line.CStr(), line.Length()) && joined.Append(' ') &&
                                           joined.Append(word.CStr(), word.Length());
        if (!ok)
            return false;
        line.Clear();
        if (!line.Append(joined.CStr(), joined.Length()))
            return false;
        word.Clear();
        if (forced || end) {
            if (!StoreLine(line.CStr()))
                return false;
            line.Clear();
        }
    }
    return true;
}

int WrappedText::GetHeight(const Font* font, int spacing) const
{
    if (!font || lines_.Count() == 0)
        return 0;
    return (font->GetLineHeight() + spacing) * lines_.Count();
}

void WrappedText::Draw(SurfaceBase* surface, int x, int y, const Font* font, int r, int g, int b, int effect,
                       int alpha, int spacing, const Rect* clip) const
{
    if (!font || alignment < 0 || alignment > 2)
        return;
    for (int i = 0; i < lines_.Count(); ++i) {
        const char* text = GetLine(i)->CStr();
        if (!text)
            continue;
        font->DrawText(surface, GetLineX(i, x, font), GetLineY(i, y, font, spacing), text, r, g, b, effect, alpha,
                       clip);
    }
}

int WrappedText::GetLineY(int i, int y, const Font* font, int spacing) const
{
    return font ? y + i * (font->GetLineHeight() + spacing) : y;
}

int WrappedText::GetLineX(int i, int x, const Font* font) const
{
    const String* line = GetLine(i);
    const char* text = line ? line->CStr() : nullptr;
    if (!font || !text)
        return x;
    if (alignment == 1)
        return x + (width >> 1) - (font->MeasureText(text) >> 1);
    if (alignment == 2)
        return x + width - font->MeasureText(text);
    return x;
}
