// The record store on any file: load, read records by the ids the file may hold, add one and
// rewrite the file.
#include <cstdint>
#include <cstring>

#include "engine/core/pack_memory_file.h"
#include "engine/core/record_store.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzWriteFile("saveresume.dat", data, size);
    FuzzApp app(FuzzEnginePath(""));
    std::string path = FuzzEnginePath("saveresume.dat");
    RecordStore store(&app);
    if (!store.Open(path.c_str(), nullptr))
        return 0;
    for (size_t at = 0; at + 4 <= size && at < 256; at += 4) {
        int32_t id = 0;
        memcpy(&id, data + at, 4);
        if (PackMemoryFile* record = store.ReadRecord(id))
            delete record;
    }
    PackMemoryFile added;
    if (added.Allocate(16) && added.Write("fuzzed record", 13) == 13)
        store.WriteRecord(size > 0 ? data[0] : 0, &added, "fuzz");
    uint16_t checksum = 0;
    store.Close(&checksum);
    return 0;
}
