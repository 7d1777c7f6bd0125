#include "engine/core/box_text.h"

#include <cstdio>
#include <cstring>

namespace {

bool Continues(unsigned char c, unsigned char low = 0x80, unsigned char high = 0xBF)
{
    return c >= low && c <= high;
}

// The length of the UTF-8 character at text that may be shown as it is, or 0 for a byte that must
// be written out: a control, an overlong or cut sequence, a surrogate, or past U+10FFFF.
size_t ShowableLength(const unsigned char* text)
{
    unsigned char c = text[0];
    if (c < 0x20 || c == 0x7F)
        return 0;
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return Continues(text[1], c == 0xC2 ? 0xA0 : 0x80) ? 2 : 0;  // U+0080..U+009F are controls
    if (c >= 0xE0 && c <= 0xEF) {
        unsigned char low = c == 0xE0 ? 0xA0 : 0x80, high = c == 0xED ? 0x9F : 0xBF;
        return Continues(text[1], low, high) && Continues(text[2]) ? 3 : 0;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        unsigned char low = c == 0xF0 ? 0x90 : 0x80, high = c == 0xF4 ? 0x8F : 0xBF;
        return Continues(text[1], low, high) && Continues(text[2]) && Continues(text[3]) ? 4 : 0;
    }
    return 0;
}

// Columns of UTF-8 text: one per character.
int Columns(const char* text, size_t length)
{
    int n = 0;
    for (size_t i = 0; i < length; ++i)
        n += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    return n;
}

// Bytes of the first `columns` characters of text (of length bytes).
size_t BytesOfColumns(const char* text, size_t length, int columns)
{
    size_t i = 0;
    for (int n = 0; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && n++ == columns)
            break;
    }
    return i;
}

class Lines {
public:
    Lines(char* out, size_t size) : out_(out), size_(size) { out_[0] = 0; }
    // What does not fit is cut at a character's start.
    void Put(const char* text, size_t length)
    {
        size_t room = size_ - 1 - used_;
        if (length > room) {
            length = room;
            while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
                --length;
        }
        memcpy(out_ + used_, text, length);
        used_ += length;
        out_[used_] = 0;
    }
    void Put(char c) { Put(&c, 1); }

private:
    char* out_;
    size_t size_;
    size_t used_ = 0;
};

}  // namespace

void EscapeForPlayer(const char* text, char* out, size_t size)
{
    if (!out || size == 0)
        return;
    size_t used = 0;
    const auto* in = reinterpret_cast<const unsigned char*>(text ? text : "");
    while (*in) {
        size_t length = ShowableLength(in);
        char written[5];
        const char* piece = reinterpret_cast<const char*>(in);
        size_t put = length;
        if (length == 0) {
            put = static_cast<size_t>(snprintf(written, sizeof written, "\\x%02x", in[0]));
            piece = written;
            length = 1;
        }
        if (put >= size - used)
            break;
        memcpy(out + used, piece, put);
        used += put;
        in += length;
    }
    out[used] = 0;
}

void LayOutForBox(const char* text, int columns, char* out, size_t size)
{
    if (!out || size == 0)
        return;
    Lines lines(out, size);
    if (columns < 1)
        columns = 1;
    int used = 0;  // columns on the line so far
    for (const char* at = text ? text : ""; *at;) {
        if (*at == ' ' || *at == '\n') {
            if (*at++ == '\n' && used > 0) {
                lines.Put('\n');
                used = 0;
            }
            continue;
        }
        size_t length = strcspn(at, " \n");
        int wide = Columns(at, length);
        if (used > 0 && used + 1 + wide <= columns) {
            lines.Put(' ');
            used += 1;
        } else if (used > 0) {
            lines.Put('\n');
            used = 0;
        }
        // A word no line holds (a long path) is cut after a folder separator where one fits.
        while (wide > columns) {
            size_t fits = BytesOfColumns(at, length, columns);
            size_t cut = fits;
            while (cut > 0 && at[cut - 1] != '/' && at[cut - 1] != '\\')
                --cut;
            // A separator near the line's start (the path's first) would leave the line nearly empty.
            if (cut * 2 < fits)
                cut = fits;
            lines.Put(at, cut);
            lines.Put('\n');
            at += cut;
            length -= cut;
            wide = Columns(at, length);
        }
        lines.Put(at, length);
        used += wide;
        at += length;
    }
    if (out[0] >= 'a' && out[0] <= 'z')
        out[0] = static_cast<char>(out[0] - 'a' + 'A');
}
