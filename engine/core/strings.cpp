#include "engine/core/strings.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "engine/core/memory.h"
#include "platform/text.h"

String::String(const char* text)
{
    Copy(text);
}

String::String(char c)
{
    text_ = static_cast<char*>(Alloc(2));
    if (text_) {
        text_[0] = c;
        text_[1] = 0;
    }
}

String::String(const String& other)
{
    Copy(other.text_);
}

String& String::operator=(const String& other)
{
    if (this != &other) {
        Free(text_);
        text_ = nullptr;
        Copy(other.text_);
    }
    return *this;
}

String::~String()
{
    Free(text_);
}

void String::Copy(const char* text)
{
    if (!text || !*text)
        return;
    size_t n = strlen(text) + 1;
    text_ = static_cast<char*>(Alloc(n));
    if (text_)
        memcpy(text_, text, n);
}

String& String::Assign(const char* text)
{
    if (text == text_)
        return *this;
    char* old = text_;
    text_ = nullptr;
    Copy(text);  // before freeing: text may point inside the old block
    Free(old);
    return *this;
}

void String::Attach(char* block)
{
    if (block == text_)
        return;
    Free(text_);
    text_ = block;
}

// Formatted into a block sized for the result, so no text can overflow it.
void String::Format(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int needed = vsnprintf(nullptr, 0, format, args);
    va_end(args);
    char* block = nullptr;
    if (needed >= 0) {
        block = static_cast<char*>(Alloc(static_cast<size_t>(needed) + 1));
        if (block)
            vsnprintf(block, static_cast<size_t>(needed) + 1, format, again);
    }
    va_end(again);
    if (block && !block[0]) {
        Free(block);
        block = nullptr;
    }
    Free(text_);
    text_ = block;
}

size_t String::Length() const
{
    return text_ ? strlen(text_) : 0;
}

bool String::Equals(const char* text) const
{
    if (!text || !text_)
        return false;
    return strcmp(text_, text) == 0;
}

bool String::Equals(const String& other) const
{
    if (Length() != other.Length())
        return false;
    return !text_ || strcmp(text_, other.text_) == 0;
}

String& String::Concat(String& out, const String& a, const String& b)
{
    if (b.IsEmpty())
        return out = a;
    if (a.IsEmpty())
        return out = b;
    size_t la = a.Length(), lb = b.Length();
    char* block = static_cast<char*>(Alloc(la + lb + 1));
    if (block) {
        memcpy(block, a.text_, la);
        memcpy(block + la, b.text_, lb + 1);
    }
    out.Attach(block);
    return out;
}

template <size_t N>
InlineString<N>::InlineString(const char* text)
{
    inline_[0] = 0;
    if (text)
        Set(text, strlen(text));
}

template <size_t N>
InlineString<N>::InlineString(const InlineString& other)
{
    inline_[0] = 0;
    Set(other.CStr(), other.length_);
}

template <size_t N>
InlineString<N>& InlineString<N>::operator=(const InlineString& other)
{
    if (this != &other)
        Set(other.CStr(), other.length_);
    return *this;
}

template <size_t N>
InlineString<N>::~InlineString()
{
    Release();
}

template <size_t N>
InlineString<N>& InlineString<N>::Assign(const char* text)
{
    if (text && text == CStr())
        return *this;
    Set(text, text ? strlen(text) : 0);
    return *this;
}

template <size_t N>
InlineString<N>& InlineString<N>::Assign(const char* text, size_t length)
{
    if (!text)
        length = 0;
    else if (const void* nul = memchr(text, 0, length))
        length = static_cast<size_t>(static_cast<const char*>(nul) - text);
    Set(text, length);
    return *this;
}

template <size_t N>
void InlineString<N>::Release()
{
    Free(heap_);
    heap_ = nullptr;
}

template <size_t N>
void InlineString<N>::Set(const char* text, size_t length)
{
    char* old = heap_;
    heap_ = nullptr;
    length_ = 0;
    if (text && length) {
        if (length >= N) {
            heap_ = static_cast<char*>(Alloc(length + 1));
            if (heap_) {
                memcpy(heap_, text, length);
                heap_[length] = 0;
                length_ = static_cast<uint32_t>(length);
            }
        } else {
            memmove(inline_, text, length);
            inline_[length] = 0;
            length_ = static_cast<uint32_t>(length);
        }
    }
    Free(old);  // after copying: the text may have been this string's own heap block
}

template <size_t N>
const char* InlineString<N>::CStr() const
{
    if (length_ == 0)
        return nullptr;
    return heap_ ? heap_ : inline_;
}

template <size_t N>
bool InlineString<N>::Equals(const char* text) const
{
    if (!text)
        return false;
    if (strlen(text) != length_)
        return false;
    return length_ == 0 || memcmp(CStr(), text, length_) == 0;
}

template <size_t N>
InlineString<N>& InlineString<N>::Concat(InlineString& out, const InlineString& a, const InlineString& b)
{
    if (b.length_ == 0)
        return out = a;
    if (a.length_ == 0)
        return out = b;
    size_t total = size_t(a.length_) + b.length_;
    char* joined = static_cast<char*>(Alloc(total + 1));
    if (!joined)
        return out;
    memcpy(joined, a.CStr(), a.length_);
    memcpy(joined + a.length_, b.CStr(), b.length_);
    joined[total] = 0;
    out.Set(joined, total);
    Free(joined);
    return out;
}

template class InlineString<51>;
template class InlineString<248>;

namespace {
int32_t ConversionError()
{
    int32_t error = static_cast<int32_t>(GetLastError());
    if (error <= 0)
        return error;
    return static_cast<int32_t>(0x80070000u | (static_cast<uint32_t>(error) & 0xFFFF));
}
}  // namespace

int32_t ToWide(const char* text, char16_t** out)
{
    *out = nullptr;
    if (!text)
        return 0;
    int units = static_cast<int>(strlen(text)) + 1;
    auto* buffer = static_cast<char16_t*>(CoTaskMemAlloc(sizeof(char16_t) * units));
    if (!buffer)
        return static_cast<int32_t>(0x8007000Eu);
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, units) == 0) {
        int32_t code = ConversionError();
        CoTaskMemFree(buffer);
        return code;
    }
    *out = buffer;
    return 0;
}

int32_t ToNarrow(const char16_t* text, char** out)
{
    *out = nullptr;
    if (!text)
        return 0;
    int length = 0;
    while (text[length])
        ++length;
    int bytes = (length + 1) * 2;
    auto* buffer = static_cast<char*>(CoTaskMemAlloc(bytes));
    if (!buffer)
        return static_cast<int32_t>(0x8007000Eu);
    if (WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, bytes, nullptr, nullptr) == 0) {
        int32_t code = ConversionError();
        CoTaskMemFree(buffer);
        return code;
    }
    *out = buffer;
    return 0;
}
