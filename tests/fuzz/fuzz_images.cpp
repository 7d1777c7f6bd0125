// The JPEG and PNG loaders on any bytes, written as "i.jpg" and "i.png". The input's size picks
// one pass, so each input is decoded once or twice: colour and alpha into a new surface, alpha
// alone into a new surface, or colour then alpha into a turned surface that is reused. Every
// other size also writes the bytes as the JPEG's "_a.jpg" companion. Large images are passed over.
#include <cstdint>
#include <memory>
#include <string>

#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"
#include "fuzz_disk_app.h"
#include "fuzz_image_size.h"

namespace {

// A surface is handed back exactly when the loader says it loaded: no failure told as a success.
Surface* Agreed(const LoadedValue<Surface*>& loaded)
{
    if ((loaded.value != nullptr) != loaded.why.ok())
        __builtin_trap();
    return loaded.value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (fuzz_image::DecodesLarge(data, size))
        return 0;
    FuzzWriteFile("i.jpg", data, size);
    FuzzWriteFile("i.png", data, size);
    FuzzWriteFile("i_a.jpg", data, size & 4 ? size : 0);
    // Kept for the whole run: every surface made here is deleted again.
    static DiskFuzzApp* app = new DiskFuzzApp();
    static const std::string base = FuzzEnginePath("i");
    switch (size % 4) {
    case 0:
        delete Agreed(LoadImage(app, base.c_str(), nullptr));
        break;
    case 1:
        delete Agreed(LoadAlphaImage(app, (base + ".png").c_str(), nullptr));
        break;
    default: {
        Surface turned(app);
        turned.SetOrientation(int(size % 4) - 1);
        Agreed(LoadImage(app, (base + ".jpg").c_str(), &turned));
        Agreed(LoadAlphaImage(app, base.c_str(), &turned));
        break;
    }
    }
    return 0;
}
