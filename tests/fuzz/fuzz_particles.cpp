// Particle definitions on any bytes: the parse, then a few updates and a draw of what it made, so
// that no value a definition can hold drives the 16.16 arithmetic out of bounds. The frames are a
// set of the sprite cache, cut once from a sheet the target writes itself.
#include <cstdint>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "engine/graphics/particle_sprites.h"
#include "engine/graphics/particle_system.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/surface.h"
#include "engine/graphics/trig_table.h"
#include "fuzz_disk_app.h"
#include "platform/crt.h"
#include "tests/engine/graphics/image_fixtures.h"

namespace {

class ParticleFuzzApp : public DiskFuzzApp {
public:
    String GetImageFolder() override { return String(FuzzEnginePath("").c_str()); }
};

// Six 4 x 4 frames, three to a row, with a ramp of alpha; loaded once and kept by the cache.
ResourceEntry* SharedSprites()
{
    static ResourceEntry* sprites = [] {
        auto samples = fixtures::Fill(12, 8, 4, [](int x, int y, unsigned char* p) {
            p[0] = static_cast<unsigned char>(x * 20);
            p[1] = static_cast<unsigned char>(y * 30);
            p[2] = 0x5A;
            p[3] = static_cast<unsigned char>((x + y * 12) * 2);
        });
        fixtures::WritePng(FuzzFolder() + "/sheet.png", 12, 8, PNG_COLOR_TYPE_RGBA, 8, samples);
        // Kept for the whole run, like the set.
        static auto* app = new ParticleFuzzApp();
        static auto* cache = new ParticleSpriteCache(app);
        ResourceEntry* set = cache->FindOrCreate("sheet", "sheet", 6, 3);
        return set && set->Load().ok() ? set : nullptr;
    }();
    return sprites;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzFolder();
    static TrigTable* table = [] {
        auto* t = new TrigTable(nullptr, 5760);
        t->Build();
        return t;
    }();
    ResourceEntry* sprites = SharedSprites();
    if (!sprites)
        return 0;

    PackMemoryFile stream;
    void* block = size ? Alloc(size) : nullptr;
    if (block)
        memcpy(block, data, size);
    stream.SetBuffer(block, int32_t(size));
    // The cache's set stays the cache's: the system neither deletes nor releases it.
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
