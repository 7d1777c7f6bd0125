// global.opt's game block on any bytes: a load either fails or leaves a store that saves and
// loads back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/core/pack_memory_file.h"
#include "game/app/profile_store.h"

namespace {

bool LoadFrom(ProfileStore& store, const uint8_t* data, size_t size)
{
    PackMemoryFile file;
    if (!file.Allocate(static_cast<int32_t>(size)))
        return false;
    file.Write(data, static_cast<int32_t>(size));
    file.Seek(0, kSeekStart);
    return store.Serialize(&file, false);
}

int32_t SaveTo(ProfileStore& store, PackMemoryFile& file)
{
    if (!file.Allocate(15000) || !store.Serialize(&file, true))
        abort();
    return file.Tell();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 20000)
        return 0;
    ProfileStore store;
    store.SetDefaults();
    if (!LoadFrom(store, data, size))
        return 0;
    // Whatever was read must be usable by the game.
    store.CurrentPlayer()->CurrentModeProgress();
    store.InsertHighScore(1234);
    store.AddPlayer();
    store.DeletePlayer(store.GetCurrentIndex());
    PackMemoryFile first;
    int32_t n = SaveTo(store, first);
    ProfileStore again;
    again.SetDefaults();
    if (!LoadFrom(again, static_cast<const uint8_t*>(first.GetBuffer()), static_cast<size_t>(n)))
        abort();
    PackMemoryFile second;
    if (SaveTo(again, second) != n || memcmp(first.GetBuffer(), second.GetBuffer(), static_cast<size_t>(n)) != 0)
        abort();
    return 0;
}
