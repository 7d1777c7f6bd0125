#include "engine/core/format_text.h"

#include <cstring>

#include "engine/core/text_builder.h"

namespace {

// Wider fields are no real text's; such a conversion is copied as it stands.
constexpr int kMaxWidth = 64;

void AppendNumber(TextBuilder& out, int32_t value, int width, bool zeros)
{
    char digits[16];
    int n = 0;
    int64_t v = value;
    bool negative = v < 0;
    if (negative)
        v = -v;
    do {
        digits[n++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v);
    int length = n + (negative ? 1 : 0);
    if (!zeros)
        for (int i = length; i < width; ++i)
            out.Append(' ');
    if (negative)
        out.Append('-');
    if (zeros)
        for (int i = length; i < width; ++i)
            out.Append('0');
    while (n > 0)
        out.Append(digits[--n]);
}

}  // namespace

String FormatText(const char* format, std::initializer_list<FormatArg> args)
{
    return FormatText(format, args.begin(), static_cast<int>(args.size()));
}

String FormatText(const char* format, const FormatArg* args, int count)
{
    if (!format)
        return String();
    TextBuilder out;
    int next = 0;
    for (const char* p = format; *p;) {
        if (*p != '%') {
            out.Append(*p++);
            continue;
        }
        const char* start = p++;
        if (*p == '%') {
            out.Append('%');
            ++p;
            continue;
        }
        bool zeros = false;
        if (*p == '0') {
            zeros = true;
            ++p;
        }
        int width = 0;
        bool tooWide = false;
        while (*p >= '0' && *p <= '9') {
            width = width * 10 + (*p - '0');
            if (width > kMaxWidth) {
                tooWide = true;
                width = kMaxWidth;
            }
            ++p;
        }
        char conversion = *p;
        bool number = conversion == 'd' || conversion == 'i';
        bool text = conversion == 's' && width == 0 && !zeros;
        if ((number || text) && !tooWide && next < count && args[next].isText == text) {
            const FormatArg& arg = args[next++];
            if (text) {
                if (arg.text)
                    out.Append(arg.text, strlen(arg.text));
            } else {
                AppendNumber(out, arg.number, width, zeros);
            }
            ++p;
            continue;
        }
        // Copied literally; an argument of the wrong kind is still used up, so later ones keep
        // their places.
        if ((number || conversion == 's') && next < count)
            ++next;
        size_t length = static_cast<size_t>(p - start) + (conversion ? 1 : 0);
        out.Append(start, length);
        p = start + length;
    }
    return String(out.CStr());
}
