#pragma once
// The engine's text types: String on the heap (null when empty), and ShortString / LongString
// with an inline buffer for short texts. All memory goes through Alloc and Free.
#include <cstddef>
#include <cstdint>

class String {
public:
    String() = default;
    String(const char* text);
    explicit String(char c);
    String(const String& other);
    String& operator=(const String& other);
    virtual ~String();

    String& Assign(const char* text);
    void Attach(char* block);
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    size_t Length() const;
    const char* CStr() const { return text_; }
    // An empty String equals no C text, not even "".
    bool Equals(const char* text) const;
    bool Equals(const String& other) const;
    static String& Concat(String& out, const String& a, const String& b);
    bool IsEmpty() const { return text_ == nullptr; }

private:
    void Copy(const char* text);
    char* text_ = nullptr;
};

template <size_t InlineSize>
class InlineString {
public:
    InlineString() { inline_[0] = 0; }
    InlineString(const char* text);
    InlineString(const InlineString& other);
    InlineString& operator=(const InlineString& other);
    virtual ~InlineString();

    InlineString& Assign(const char* text);
    // At most length characters of text, fewer when a NUL comes first.
    InlineString& Assign(const char* text, size_t length);
    const char* CStr() const;
    const char* GetText() const { return CStr(); }
    size_t Length() const { return length_; }
    bool Equals(const char* text) const;
    static InlineString& Concat(InlineString& out, const InlineString& a, const InlineString& b);

private:
    void Set(const char* text, size_t length);
    void Release();
    char inline_[InlineSize];
    char* heap_ = nullptr;
    uint32_t length_ = 0;
};

// Up to 50 characters inline.
using ShortString = InlineString<51>;
// Up to 247 characters inline.
using LongString = InlineString<248>;

// UTF-16 conversions for the system boundary; the caller frees the result with CoTaskMemFree.
// 0 on success, else an HRESULT.
int32_t ToWide(const char* text, char16_t** out);
int32_t ToNarrow(const char16_t* text, char** out);
