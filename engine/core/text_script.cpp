#include "engine/core/text_script.h"

#include <cstring>
#include <initializer_list>

#include "engine/core/pack_memory_file.h"
#include "engine/core/stream.h"
#include "engine/core/text_builder.h"

namespace {

constexpr int kEnd = -1;

bool IsBlank(int c)
{
    return c == ' ' || c == '\t';
}

bool IsLineEnd(int c)
{
    return c == '\n' || c == '\r';
}

// A text built a character at a time on the stack, moving to the heap only past a long line:
// scripts are read a line at a time, so the common line costs no allocation.
class LineText {
public:
    void Append(char c)
    {
        if (!spilled_ && length_ < sizeof(local_)) {
            local_[length_++] = c;
            return;
        }
        if (!spilled_) {
            heap_.Clear();
            if (!heap_.Append(local_, length_))
                return;
            spilled_ = true;
        }
        if (heap_.Append(c))
            ++length_;
    }
    void Clear()
    {
        length_ = 0;
        spilled_ = false;
    }
    const char* Data() const { return spilled_ ? heap_.CStr() : local_; }
    size_t Length() const { return length_; }

private:
    char local_[256];
    size_t length_ = 0;
    bool spilled_ = false;
    TextBuilder heap_;
};

// The raw line grammar over any source with Get (kEnd at the end) and Unget.
template <typename Source>
void ReadRawLine(Source& source, LineText& line)
{
    line.Clear();
    bool comment = false;
    for (;;) {
        int c = source.Get();
        if (c == kEnd)
            return;
        if (comment) {
            if (IsLineEnd(c))
                comment = false;
            continue;
        }
        if (IsBlank(c) || IsLineEnd(c))
            continue;
        if (c == '/') {
            int next = source.Get();
            if (next == kEnd)
                return;
            if (next == '/') {
                comment = true;
                continue;
            }
            line.Append('/');
            line.Append(static_cast<char>(next));
        } else {
            line.Append(static_cast<char>(c));
        }
        break;
    }
    for (;;) {
        int c = source.Get();
        if (c == kEnd || IsLineEnd(c))
            return;
        if (c == '/') {
            int next = source.Get();
            if (next == kEnd)
                return;
            if (next == '/') {
                // Left for the next call, which skips the rest of the line as a comment.
                source.Unget(2);
                return;
            }
            line.Append('/');
            line.Append(static_cast<char>(next));
            continue;
        }
        line.Append(static_cast<char>(c));
    }
}

struct BufferSource {
    const char* data;
    int32_t size;
    int32_t index;
    int Get() { return index < size ? static_cast<unsigned char>(data[index++]) : kEnd; }
    void Unget(int n) { index -= n; }
};

struct StreamSource {
    Stream* stream;
    int Get()
    {
        uint8_t c;
        return stream->Read(&c, 1) == 1 ? c : kEnd;
    }
    void Unget(int n) { stream->Seek(-n, kSeekCurrent); }
};

const char* MemoryData(Stream* stream)
{
    if (!stream || !stream->IsInMemory())
        return nullptr;
    return static_cast<const char*>(static_cast<PackMemoryFile*>(stream)->GetBuffer());
}

int32_t TrimmedLength(const char* text, size_t length)
{
    while (length > 1 && IsBlank(text[length - 1]))
        --length;
    return static_cast<int32_t>(length);
}

// The text less its trailing blanks (one blank stays of an all-blank text); empty for none.
ShortString& AssignTrimmed(ShortString& out, const char* text, size_t length)
{
    if (length == 0)
        return out.Assign(nullptr);
    return out.Assign(text, static_cast<size_t>(TrimmedLength(text, length)));
}

// The backward number scan of ParseFixed8 and ParseFixed16: the signed, shifted integer of all
// digits, and the divisor when a point was met (0 without one). False for a second point.
bool ScanDecimal(const char* text, int shift, uint32_t* integer, double* divisor)
{
    *integer = 0;
    *divisor = 0;
    if (!text || !*text || (text[0] == '-' && text[1] == 0))
        return false;
    bool negative = text[0] == '-';
    int stop = negative ? 1 : 0;
    uint32_t sum = 0, place = 1;
    int digits = 0;
    bool point = false;
    for (int i = static_cast<int>(strlen(text)) - 1; i >= stop; --i) {
        char c = text[i];
        if (c == '.') {
            if (point)
                return false;
            point = true;
            *divisor = 1;
            for (int k = 0; k < digits; ++k)
                *divisor *= 10;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        sum += static_cast<uint32_t>(c - '0') * place;
        place *= 10u;
        ++digits;
    }
    if (negative)
        sum = 0u - sum;
    if (shift >= 32)
        sum = 0;
    else if (shift > 0)
        sum <<= shift;
    *integer = sum;
    return true;
}

}  // namespace

namespace {

// The raw line up to its first NUL, read from the stream's data in place when it is in memory.
void ReadRawStreamLine(Stream* stream, LineText& text)
{
    if (const char* data = MemoryData(stream)) {
        BufferSource source{data, stream->GetSize(), stream->Tell()};
        if (source.index < 0)
            source.index = source.size;
        ReadRawLine(source, text);
        stream->Seek(source.index, kSeekStart);
    } else {
        StreamSource source{stream};
        ReadRawLine(source, text);
    }
}

}  // namespace

ShortString& ReadLineFromBuffer(ShortString& line, const char* data, int32_t size, int32_t* index)
{
    BufferSource source{data, size, *index < 0 ? size : *index};
    LineText text;
    ReadRawLine(source, text);
    *index = source.index;
    return line.Assign(text.Data(), text.Length());
}

ShortString& ReadLineFromMemory(ShortString& line, Stream* stream)
{
    const char* data = MemoryData(stream);
    if (!data)
        return line.Assign(nullptr);
    int32_t index = stream->Tell();
    ReadLineFromBuffer(line, data, stream->GetSize(), &index);
    stream->Seek(index, kSeekStart);
    return line;
}

ShortString& ReadLineFromStream(ShortString& line, Stream* stream)
{
    if (!stream)
        return line.Assign(nullptr);
    StreamSource source{stream};
    LineText text;
    ReadRawLine(source, text);
    return line.Assign(text.Data(), text.Length());
}

bool ReadScriptLine(Stream* stream, ShortString& line)
{
    if (!stream)
        return false;
    LineText raw;
    for (;;) {
        raw.Clear();
        ReadRawStreamLine(stream, raw);
        const char* text = raw.Data();
        const void* nul = memchr(text, 0, raw.Length());
        size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : raw.Length();
        if (length == 0)
            return false;
        line.Assign(text, static_cast<size_t>(TrimmedLength(text, length)));
        if (line.Length() < 2 || line.CStr()[0] != '/' || line.CStr()[1] != '/')
            return true;
    }
}

bool IsKeyValueLine(const char* line)
{
    if (!line || strlen(line) < 2)
        return false;
    for (const char* p = line; *p; ++p) {
        if (p[0] == '/' && p[1] == '/')
            return false;
        if (*p == '=' || *p == ':')
            return true;
    }
    return false;
}

bool SplitKeyValue(const char* line, ShortString& key, ShortString& value)
{
    key.Assign(nullptr);
    value.Assign(nullptr);
    if (!line || !*line)
        return false;
    if (!IsKeyValueLine(line)) {
        TrimRight(value, line);
        return true;
    }
    // The key is the text before the first separator outside quotes; the value is the rest less
    // its leading blanks and any further separators outside quotes.
    LineText valueText;
    size_t keyLength = 0;
    bool quoted = false, inValue = false, leading = true;
    for (const char* p = line; *p; ++p) {
        char c = *p;
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '=' || c == ':')) {
            inValue = true;
            continue;
        }
        if (!inValue) {
            ++keyLength;
        } else {
            if (leading && IsBlank(c))
                continue;
            leading = false;
            valueText.Append(c);
        }
    }
    AssignTrimmed(key, line, keyLength);
    AssignTrimmed(value, valueText.Data(), valueText.Length());
    return true;
}

ShortString& TrimRight(ShortString& out, const char* in)
{
    if (!in || !*in)
        return out.Assign(nullptr);
    return AssignTrimmed(out, in, strlen(in));
}

ShortString& StripQuotes(ShortString& out, const char* in, char open, char close)
{
    if (!in || !*in)
        return out.Assign(nullptr);
    size_t length = strlen(in);
    size_t start = 0;
    if (in[length - 1] == close)
        --length;
    if (length > 0 && in[0] == open)
        start = 1;
    if (length <= start)
        return out.Assign(nullptr);
    return out.Assign(in + start, length - start);
}

ShortString& Unquote(ShortString& out, const char* in)
{
    return StripQuotes(out, in, '"', '"');
}

namespace {

// Items are contiguous runs of the text, so each is copied whole once its end is known.
void Split(const char* text, int maxItems, ShortString* items, int* count, bool quotes)
{
    for (int i = 0; i < maxItems; ++i)
        items[i].Assign(nullptr);
    int n = -1;
    if (text && maxItems > 0) {
        bool quoted = false;
        const char* start = nullptr;
        for (const char* p = text;; ++p) {
            char c = *p;
            bool separator = c == 0 || c == ',' || (c == ' ' && !(quotes && quoted));
            if (quotes && c == '"')
                quoted = !quoted;
            if (separator) {
                if (start) {
                    items[n].Assign(start, static_cast<size_t>(p - start));
                    start = nullptr;
                }
                if (c == 0)
                    break;
                continue;
            }
            if (!start) {
                if (++n == maxItems)
                    break;
                start = p;
            }
        }
    }
    if (n < maxItems)
        ++n;
    if (count)
        *count = maxItems > 0 ? n : 0;
}

}  // namespace

void SplitList(const char* text, int maxItems, ShortString* items, int* count)
{
    Split(text, maxItems, items, count, true);
}

void SplitWords(const char* text, int maxItems, ShortString* items)
{
    Split(text, maxItems, items, nullptr, false);
}

int32_t ParseInt(const char* text)
{
    if (!text || !*text)
        return 0;
    bool negative = text[0] == '-';
    int stop = negative ? 1 : 0;
    uint32_t sum = 0, place = 1;
    for (int i = static_cast<int>(strlen(text)) - 1; i >= stop; --i) {
        char c = text[i];
        if (c < '0' || c > '9')
            break;
        sum += static_cast<uint32_t>(c - '0') * place;
        place *= 10u;
    }
    return static_cast<int32_t>(negative ? 0u - sum : sum);
}

Fixed& ParseFixed8(Fixed& out, const char* text, int shift)
{
    uint32_t integer;
    double divisor;
    if (!ScanDecimal(text, shift, &integer, &divisor))
        return out = Fixed::Raw(0);
    if (divisor == 0)
        return out = Fixed::Raw(static_cast<int32_t>(integer << 8));
    return out = Fixed::FromDouble(static_cast<int32_t>(integer) / divisor);
}

Fixed16& ParseFixed16(Fixed16& out, const char* text, int shift)
{
    uint32_t integer;
    double divisor;
    if (!ScanDecimal(text, shift, &integer, &divisor))
        return out = Fixed16::Raw(0);
    if (divisor == 0)
        return out = Fixed16::Raw(static_cast<int32_t>(integer << 16));
    return out = Fixed16::FromDouble(static_cast<int32_t>(integer) / divisor);
}

bool PairImageNames(ShortString& name, ShortString& alphaName)
{
    if (name.Length() == 0 && alphaName.Length() == 0)
        return false;
    if (name.Length() == 0)
        name = alphaName;
    else if (alphaName.Length() == 0)
        alphaName = name;
    for (ShortString* s : {&name, &alphaName}) {
        size_t length = s->Length();
        const char* text = s->CStr();
        if (length >= 4 && (!strcmp(text + length - 4, ".jpg") || !strcmp(text + length - 4, ".png")))
            s->Assign(text, length - 4);
    }
    return true;
}
