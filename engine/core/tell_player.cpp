#include "engine/core/tell_player.h"

#include <cstdarg>
#include <cstdint>
#include <cstdio>

#include "engine/core/arrays.h"
#include "engine/core/box_text.h"
#include "engine/core/message_box.h"

namespace {

constexpr int kSaidGrowStep = 32;
// FNV-1a, 64 bits.
constexpr uint64_t kHashStart = 0xcbf29ce484222325ull;
constexpr uint64_t kHashPrime = 0x100000001b3ull;

// The record of what was said: a 64-bit hash of each text. It holds one word per cause,
// and the causes a run can meet are bounded by what the game has, not by any file's contents: a
// text is made of the game's own words, one of the files it reads (the names its packs hold, at
// most 65,535 each, and its two saves) and the reason a reader gives (a fixed set, or the system's
// text for an error). Nothing is ever dropped from it, so nothing said comes again.
ItemArrayOf<uint64_t> g_said(kSaidGrowStep);
// Set while a text is said: the record grows in the engine's heap, whose failure is said too.
bool g_telling = false;

uint64_t HashOf(const char* text)
{
    uint64_t h = kHashStart;
    for (const char* c = text; *c; ++c)
        h = (h ^ static_cast<unsigned char>(*c)) * kHashPrime;
    return h;
}

// True for a text said before; else it is remembered as said (where memory allows).
bool AlreadySaid(const char* text)
{
    uint64_t h = HashOf(text);
    for (int i = 0; i < g_said.Count(); ++i) {
        if (*g_said.At(i) == h)
            return true;
    }
    (void)g_said.Append(h);
    return false;
}

}  // namespace

void TellPlayer(const char* format, ...)
{
    char text[kSaidBytes];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    char said[kSaidBytes];
    EscapeForPlayer(text, said, sizeof said);
    if (g_telling) {
        ShowMessageBox(said);
        return;
    }
    g_telling = true;
    bool before = AlreadySaid(said);
    g_telling = false;
    if (!before)
        ShowMessageBox(said);
}

void ForgetWhatWasSaid()
{
    g_said.Free();
}

bool SaidAnything()
{
    return g_said.Count() > 0;
}
