// The pack reader on any file: open, list, find and unpack every entry.
#include <cstdint>
#include <vector>

#include "engine/core/zip_pack.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzWriteFile("fuzz.pak", data, size);
    ZipPack pack(nullptr);
    if (pack.Open(FuzzEnginePath("fuzz.pak").c_str()).value != kPackOk)
        return 0;
    int count = 0;
    if (pack.GetEntryCount(&count) != kPackOk)
        return 0;
    for (int i = 0; i < count; ++i) {
        char name[256];
        if (pack.GetEntryName(i, name, sizeof name) == kPackOk) {
            int found = -1;
            pack.FindEntry(name, &found);
        }
        int32_t entrySize = 0;
        if (pack.GetEntrySize(i, &entrySize) != kPackOk || entrySize < 0 || entrySize > (64 << 20))
            continue;
        std::vector<uint8_t> buffer(static_cast<size_t>(entrySize) + 1);
        pack.ReadEntry(i, buffer.data());
    }
    pack.Close();
    return 0;
}
