#pragma once
// A NUL-terminated text built a few characters at a time in the engine's heap. A failed growth
// leaves the text as it was and reports false.
#include <cstddef>
#include <cstring>

#include "engine/core/memory.h"

class TextBuilder {
public:
    TextBuilder() = default;
    TextBuilder(const TextBuilder&) = delete;
    TextBuilder& operator=(const TextBuilder&) = delete;
    ~TextBuilder() { ::Free(data_); }

    bool Append(char c) { return Append(&c, 1); }
    bool Append(const char* text, size_t n)
    {
        if (n > capacity_ - length_ || !data_) {
            size_t wanted = length_ + n + 1;
            size_t grown = capacity_ ? capacity_ : 64;
            while (grown < wanted)
                grown *= 2;
            char* block = static_cast<char*>(Alloc(grown));
            if (!block)
                return false;
            if (length_)
                memcpy(block, data_, length_);
            ::Free(data_);
            data_ = block;
            capacity_ = grown - 1;
        }
        memcpy(data_ + length_, text, n);
        length_ += n;
        data_[length_] = 0;
        return true;
    }
    void Clear()
    {
        length_ = 0;
        if (data_)
            data_[0] = 0;
    }
    // Drops characters from the end.
    void Truncate(size_t length)
    {
        if (length < length_) {
            length_ = length;
            data_[length_] = 0;
        }
    }
    const char* CStr() const { return data_ ? data_ : ""; }
    char* Data() { return data_; }
    size_t Length() const { return length_; }

private:
    char* data_ = nullptr;
    size_t length_ = 0;
    size_t capacity_ = 0;
};
