// The JPEG and PNG loaders on any bytes, into new, turned and reused surfaces.
#include <cstdint>
#include <memory>

#include "engine/graphics/image_loader.h"
#include "engine/graphics/surface.h"
#include "fuzz_disk_app.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzWriteFile("i.jpg", data, size);
    FuzzWriteFile("i.png", data, size);
    FuzzWriteFile("i_a.jpg", data, size);
    DiskFuzzApp app;
    std::string base = FuzzEnginePath("i");
    delete LoadImage(&app, base.c_str(), nullptr);
    delete LoadAlphaImage(&app, base.c_str(), nullptr);
    delete LoadPng(&app, (base + ".png").c_str(), nullptr);
    Surface turned(&app);
    turned.SetOrientation(size & 1 ? 1 : 2);
    LoadImage(&app, (base + ".png").c_str(), &turned);
    LoadPngAlpha(&app, (base + ".png").c_str(), &turned);
    LoadJpegAlpha(&app, (base + ".jpg").c_str(), &turned);
    return 0;
}
