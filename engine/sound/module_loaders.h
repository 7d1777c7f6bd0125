#pragma once
// What the three format loaders share: a bounds-checked reader and the allocation of the
// module's blocks. Loaders return 0 (or 1 for a MOD with unknown periods), -1 or -2; the caller
// frees whatever a failed load left behind.
#include <cstddef>
#include <cstdint>

#include "engine/sound/module_player.h"

// Reads little- and big-endian fields at absolute offsets. A read past the end returns 0 and
// marks the reader bad; loaders test `bad` before they trust what they read.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Has(size_t offset, size_t count) const
    {
        return offset <= size_ && count <= size_ - offset;
    }
    uint8_t U8(size_t offset)
    {
        if (!Has(offset, 1)) {
            bad = true;
            return 0;
        }
        return data_[offset];
    }
    uint16_t U16(size_t offset) { return static_cast<uint16_t>(U8(offset) | U8(offset + 1) << 8); }
    uint16_t U16BigEndian(size_t offset)
    {
        return static_cast<uint16_t>(U8(offset) << 8 | U8(offset + 1));
    }
    uint32_t U32(size_t offset)
    {
        return static_cast<uint32_t>(U16(offset)) | static_cast<uint32_t>(U16(offset + 2)) << 16;
    }
    // Copies `count` bytes of text and terminates `out` (which holds count + 1).
    void Text(size_t offset, size_t count, char* out);
    bool Matches(size_t offset, const char* text) const;
    const uint8_t* At(size_t offset) const { return data_ + offset; }
    size_t Size() const { return size_; }

    bool bad = false;

private:
    const uint8_t* data_;
    size_t size_;
};

int LoadMod(const uint8_t* data, size_t size, ModulePlayer* player);
int LoadS3m(const uint8_t* data, size_t size, ModulePlayer* player);
int LoadXm(const uint8_t* data, size_t size, ModulePlayer* player);

// Allocation of the module's arrays, set to their empty state; false when out of memory.
bool AllocateInstruments(ModulePlayer* player, int count);
bool AllocateSamples(ModulePlayer* player, int count);
bool AllocatePatterns(ModulePlayer* player, int count);
ModuleCell* AllocatePattern(ModulePlayer* player, int pattern, int rows);
// A data block for the sample's `length` values (zeroed), or null when out of memory.
void* AllocateSampleData(ModuleSample* sample, size_t bytes);

// Sets the loop from file values, clamped to the sample (a loop that cannot stand is dropped).
void SetSampleLoop(ModuleSample* sample, uint32_t loopStart, uint32_t loopEnd, bool looping);
// A pattern break's row: trackers store it as two decimal digits (0x10 is row 10); rows past
// the pattern's 64 become row 0.
int BreakRow(int param);
// The effects MOD and XM number alike (0, 3-7, 9, B, D, E and F): the player's effect and its
// parameter; other numbers leave both as they are.
void TranslateSharedEffect(int effect, int param, uint16_t* out, int* value);
// Clamps the header values every format shares and marks the channels.
void FinishModule(ModulePlayer* player);
