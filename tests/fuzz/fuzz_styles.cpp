// The style sheet on any bytes, and the text-script helpers on its lines.
#include <cstdint>
#include <string>

#include "engine/core/pack_memory_file.h"
#include "engine/graphics/font_manager.h"
#include "engine/core/text_script.h"
#include "fuzz_disk_app.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzWriteFile("styles.txt", data, size);
    // Kept for the whole run: the manager holds nothing of it once deleted.
    static DiskFuzzApp* app = new DiskFuzzApp();
    FontManager manager(app);
    // Whatever the bytes, a refusal names the sheet itself; what was read before it is used all the same.
    const std::string path = FuzzEnginePath("styles.txt");
    LoadResult loaded = manager.Load(path.c_str());
    if (loaded.failed() && path != loaded.File())
        __builtin_trap();
    manager.ResolveStyleFonts();
    manager.FindStyle("title");
    manager.FindFont("main");

    PackMemoryFile file;
    if (!file.Open(app, FuzzEnginePath("styles.txt").c_str(), kStreamRead))
        return 0;
    ShortString line, key, value, items[4];
    int count = 0;
    Fixed f;
    Fixed16 g;
    while (ReadScriptLine(&file, line)) {
        SplitKeyValue(line.CStr(), key, value);
        SplitList(value.CStr(), 4, items, &count);
        SplitWords(value.CStr(), 4, items);
        ParseInt(value.CStr());
        ParseFixed8(f, value.CStr(), 0);
        ParseFixed16(g, value.CStr(), 3);
        PairImageNames(key, value);
    }
    return 0;
}
