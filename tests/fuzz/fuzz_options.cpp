// global.opt on any bytes, in both forms, through the application's start-up load.
#include <cstdint>

#include "engine/core/options_record.h"
#include "fuzz_support.h"

namespace {
class ArchiveFormRecord : public OptionsRecord {
public:
    bool UsesArchiveForm() override { return true; }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzWriteFile("global.opt", data, size);
    FuzzApp app(FuzzEnginePath(""));
    ArchiveFormRecord archived;
    archived.SetDefaults();
    // Taken or refused with its reason: here only that neither falls over.
    static_cast<void>(archived.Load(&app));
    OptionsRecord raw;
    raw.SetDefaults();
    static_cast<void>(raw.Load(&app));
    app.LoadOptions();
    return 0;
}
