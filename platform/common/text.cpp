#include "platform/text.h"

#include <cstdlib>

#include "platform/common/backend_table.h"

namespace {
template <typename In>
int Length(const In* text, int count)
{
    if (count >= 0)
        return count;
    int n = 0;
    while (text[n])
        ++n;
    return n + 1;
}
}  // namespace

int MultiByteToWideChar(UINT codePage, DWORD, const char* text, int count, char16_t* out, int outSize)
{
    if (!text || codePage != CP_ACP || outSize < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int n = Length(text, count);
    if (outSize == 0)
        return n;
    if (!out || outSize < n) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (int i = 0; i < n; ++i)
        out[i] = static_cast<unsigned char>(text[i]);
    return n;
}

int WideCharToMultiByte(UINT codePage, DWORD, const char16_t* text, int count, char* out, int outSize,
                        const char* defaultChar, BOOL* usedDefault)
{
    if (!text || codePage != CP_ACP || outSize < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int n = Length(text, count);
    if (usedDefault)
        *usedDefault = FALSE;
    if (outSize != 0 && (!out || outSize < n)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (int i = 0; i < n; ++i) {
        char16_t unit = text[i];
        char c;
        if (unit <= 0xFF) {
            c = static_cast<char>(unit);
        } else if (defaultChar) {
            c = *defaultChar;
            if (usedDefault)
                *usedDefault = TRUE;
        } else {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        if (outSize != 0)
            out[i] = c;
    }
    return n;
}

void* CoTaskMemAlloc(size_t bytes)
{
    if (platform_internal::Backend().hooks.allocationFails(bytes))
        return nullptr;
    return malloc(bytes ? bytes : 1);
}

void CoTaskMemFree(void* block)
{
    free(block);
}
