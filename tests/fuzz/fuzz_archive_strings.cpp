// Archive loading on any bytes: strings mixed with the other value kinds, chosen by the input.
#include <cstdint>
#include <cstring>

#include "engine/core/archive.h"
#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/strings.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzFolder();
    if (size == 0)
        return 0;
    void* copy = Alloc(size);
    if (!copy)
        return 0;
    memcpy(copy, data, size);
    PackMemoryFile file;
    file.SetBuffer(copy, static_cast<int32_t>(size));
    // The first byte picks the kinds read between the strings.
    uint8_t plan = 0;
    file.Read(&plan, 1);
    ArchiveContext archive;
    archive.Init(&file, false);
    for (int step = 0; step < 64 && file.Tell() < file.GetSize(); ++step) {
        String text;
        archive.SerializeString(text);
        switch ((plan >> (step % 4 * 2)) & 3) {
        case 0: {
            int32_t word = 0;
            archive.SerializeWord(word);
            break;
        }
        case 1: {
            bool flag = false;
            archive.SerializeBool(flag);
            break;
        }
        case 2: {
            int32_t pair[2] = {};
            archive.SerializePair(pair);
            break;
        }
        default: {
            uint8_t bytes[7];
            archive.SerializeBytes(bytes, sizeof bytes);
            break;
        }
        }
        if (!archive.IsOk())
            break;
    }
    return 0;
}
