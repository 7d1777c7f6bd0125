// The language file on any bytes: the header, every language's texts and lookups.
#include <cstdint>

#include "engine/ui/string_table.h"
#include "fuzz_disk_app.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzWriteFile("kelo.csv", data, size);
    // Kept for the whole run: a table holds nothing of it once deleted.
    static DiskFuzzApp* app = new DiskFuzzApp();
    StringTable table(app);
    if (table.Load(FuzzEnginePath("kelo.csv").c_str(), 200).failed())
        return 0;
    String out;
    for (int i = 0; i < table.GetLanguageCount() && i < 4; ++i) {
        table.GetLanguageName(out, i);
        table.GetLanguageLabel(out, i);
        if (!table.SelectLanguage(i))
            continue;
        for (const char* key : {"STR_A", "k", "id", ""}) {
            table.Lookup(out, key);
            table.LookupOffset(out, key, 1);
            table.LookupOffset(out, key, -1);
        }
    }
    return 0;
}
