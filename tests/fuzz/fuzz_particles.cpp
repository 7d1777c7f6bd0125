// Particle definitions on any bytes: the parse, then a few updates and a draw of what it made, so
// that no value a definition can hold drives the 16.16 arithmetic out of bounds.
#include <cstdint>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "engine/graphics/particle_sprites.h"
#include "engine/graphics/particle_system.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "fuzz_support.h"
#include "platform/crt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzFolder();
    static TrigTable* table = [] {
        auto* t = new TrigTable(nullptr, 5760);
        t->Build();
        return t;
    }();
    Surface sheet(nullptr);
    if (!sheet.Create(8, 6))
        return 0;
    memset(sheet.GetPixels(), 0x5A, 8 * 6 * 2);
    for (int i = 0; i < 48; ++i)
        sheet.GetAlpha()[i] = uint8_t(i * 5);
    auto* sprites = new ParticleSprites();
    sprites->CutSheet(nullptr, sheet, 6, 3);

    PackMemoryFile stream;
    void* block = size ? Alloc(size) : nullptr;
    if (block)
        memcpy(block, data, size);
    stream.SetBuffer(block, int32_t(size));
    ParticleSystem system(nullptr, table, nullptr);
    Fixed16 rate;
    if (!system.Parse(&stream, sprites, rate))
        return 0;
    // Large arrays are parsed and sized above; running them would only measure the drawing.
    if (system.GetCapacity() > 256)
        return 0;
    crt::srand(0);
    Surface frame(nullptr);
    if (!frame.Create(48, 48))
        return 0;
    system.SetPosition(Fixed16::FromInt(24), Fixed16::FromInt(24));
    system.Start();
    for (int i = 0; i < 8; ++i) {
        system.SetPosition(Fixed16::FromInt(24 + i), Fixed16::FromInt(24 - i));
        system.Update(system.GetTimeStep());
    }
    system.Draw(&frame);
    return 0;
}
