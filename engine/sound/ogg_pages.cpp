#include "engine/sound/ogg_pages.h"

#include <cstring>

#include "engine/core/byte_order.h"
#include "engine/core/memory.h"
#include "engine/core/stream.h"

namespace {

constexpr int kHeaderBytes = 27;
constexpr int kMaxBodyBytes = 255 * 255;
constexpr uint8_t kContinued = 1;
constexpr uint8_t kFirst = 2;
constexpr uint8_t kLast = 4;
// Serials of links already ended or left; a chain longer than this is refused.
constexpr int kMaxLinks = 64;

struct CrcTable {
    uint32_t entry[256] = {};
    constexpr CrcTable()
    {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t r = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                r = (r & 0x80000000u) ? (r << 1) ^ 0x04c11db7u : r << 1;
            entry[i] = r;
        }
    }
};
// Built at compile time, so the mixer's thread and the loader's never race to fill it.
constexpr CrcTable kCrc;

// The page checksum: CRC-32 of polynomial 04c11db7, not reflected, starting from zero.
uint32_t PageCrc(const uint8_t* p, int n)
{
    uint32_t crc = 0;
    for (int i = 0; i < n; ++i)
        crc = (crc << 8) ^ kCrc.entry[((crc >> 24) ^ p[i]) & 0xff];
    return crc;
}

bool ReadAll(Stream* stream, uint8_t* out, int n)
{
    return n == 0 || stream->Read(out, n) == n;
}

struct ChainState {
    bool open = false;
    bool packetOpen = false;
    uint32_t serial = 0;
    uint32_t sequence = 0;
    uint32_t done[kMaxLinks];
    int doneCount = 0;

    bool IsDone(uint32_t s) const
    {
        for (int i = 0; i < doneCount; ++i) {
            if (done[i] == s)
                return true;
        }
        return false;
    }
    bool Finish()
    {
        open = false;
        if (doneCount == kMaxLinks)
            return false;
        done[doneCount++] = serial;
        return true;
    }
};

// Checks one page's place in the chain from its header and last lacing value.
const char* Place(ChainState& chain, const uint8_t* header, int segments, uint8_t lastLacing)
{
    uint8_t flags = header[5];
    uint32_t serial = ReadLe32(header + 14);
    uint32_t sequence = ReadLe32(header + 18);
    if (chain.IsDone(serial))
        return "a page of a stream that has ended";
    if (flags & kFirst) {
        // A new link may follow one that was left unended, never run beside it.
        if (chain.open && !chain.Finish())
            return "too many chained streams";
        if (sequence != 0 || (flags & kContinued))
            return "a stream does not start at its first page";
        chain.open = true;
        chain.packetOpen = false;
        chain.serial = serial;
    } else {
        if (!chain.open)
            return "a page outside any stream";
        if (serial != chain.serial)
            return "pages of two streams interleaved";
        if (sequence != chain.sequence + 1)
            return "page sequence numbers out of order";
        if (((flags & kContinued) != 0) != chain.packetOpen)
            return "a page does not continue the packet before it";
    }
    chain.sequence = sequence;
    if (segments > 0)
        chain.packetOpen = lastLacing == 255;
    if ((flags & kLast) && !chain.Finish())
        return "too many chained streams";
    return nullptr;
}

}  // namespace

const char* VetOggPages(Stream* stream)
{
    if (!stream || !stream->Seek(0, kSeekStart))
        return "cannot read the file";
    uint8_t* page = static_cast<uint8_t*>(Alloc(kHeaderBytes + 255 + kMaxBodyBytes));
    if (!page)
        return "out of memory";
    ChainState chain;
    const char* refusal = nullptr;
    int pages = 0;
    int32_t size = stream->GetSize();
    int32_t at = 0;
    while (!refusal && at < size) {
        if (size - at < kHeaderBytes || !ReadAll(stream, page, kHeaderBytes)) {
            refusal = "a page is cut short";
            break;
        }
        if (memcmp(page, "OggS", 4) != 0 || page[4] != 0 || (page[5] & ~(kContinued | kFirst | kLast))) {
            refusal = "a page header is damaged";
            break;
        }
        int segments = page[26];
        if (!ReadAll(stream, page + kHeaderBytes, segments)) {
            refusal = "a page is cut short";
            break;
        }
        int body = 0;
        for (int i = 0; i < segments; ++i)
            body += page[kHeaderBytes + i];
        int length = kHeaderBytes + segments + body;
        if (size - at < length || !ReadAll(stream, page + kHeaderBytes + segments, body)) {
            refusal = "a page is cut short";
            break;
        }
        uint32_t stored = ReadLe32(page + 22);
        memset(page + 22, 0, 4);
        if (PageCrc(page, length) != stored) {
            refusal = "a page fails its checksum";
            break;
        }
        refusal = Place(chain, page, segments, segments > 0 ? page[kHeaderBytes + segments - 1] : 0);
        at += length;
        ++pages;
    }
    Free(page);
    if (!refusal && pages == 0)
        refusal = "no Ogg pages";
    if (!stream->Seek(0, kSeekStart) && !refusal)
        refusal = "cannot read the file";
    return refusal;
}
