// Sprite scripts and atlas data files on any bytes. The input is a script, then optionally a zero
// byte and an atlas data file; every declared set is loaded and released against a 2 x 2 image
// that the target writes itself, named "pic" and "pic0".."pic3".
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/graphics/sprite_limits.h"
#include "fuzz_disk_app.h"

namespace {

// A 2 x 2 RGBA PNG made for this target.
const uint8_t kPicture[] = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00, 0x00,
    0x02, 0x00, 0x00, 0x00, 0x02, 0x08, 0x06, 0x00, 0x00, 0x00, 0x72, 0xb6, 0x0d, 0x24, 0x00, 0x00, 0x00, 0x13, 0x49,
    0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8, 0xcf, 0xc0, 0xd0, 0x00, 0xc2, 0x0c, 0x0c, 0xff, 0x21, 0x10, 0x00, 0x39,
    0xe4, 0x06, 0xfb, 0x1a, 0xb7, 0x09, 0x59, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};

// A set whose frames are optional files looks for every one of them, up to 4096 frames and two
// names each; thousands of missing files cost thousands of directory scans per input and find
// nothing that four do not. Counts the loader refuses still reach it.
bool ProbesManyFiles(const ResourceEntry& entry)
{
    constexpr int kFewFrames = 4;
    return entry.GetKind() == kSpriteMultiOptional && entry.GetCount() > kFewFrames &&
           entry.GetCount() <= kMaxSpriteFrames;
}

class SpriteFuzzApp : public DiskFuzzApp {
public:
    ResourceList* GetSpriteList() override { return &list; }
    String GetImageFolder() override { return String(FuzzEnginePath("").c_str()); }
    ResourceList list{this, 16};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool written = [] {
        for (const char* name : {"pic.png", "pic0.png", "pic1.png", "pic2.png", "pic3.png"})
            FuzzWriteFile(name, kPicture, sizeof kPicture);
        return true;
    }();
    (void)written;
    const uint8_t* split = static_cast<const uint8_t*>(memchr(data, 0, size));
    size_t scriptSize = split ? size_t(split - data) : size;
    FuzzWriteFile("sprites.txt", data, scriptSize);
    if (split)
        FuzzWriteFile("atlas.txt", split + 1, size - scriptSize - 1);
    else
        FuzzWriteFile("atlas.txt", data, 0);

    // Kept for the whole run; its list is cleared after every input.
    static SpriteFuzzApp* shared = new SpriteFuzzApp();
    SpriteFuzzApp& app = *shared;
    // The atlas file is read through a set of its own only when the input holds one: the set's
    // picture costs more to load than most scripts.
    if (split) {
        app.list.AddSpriteSetSingle("fuzz_atlas", "pic", nullptr, 1, 1, false, false);
        app.list.GetLast()->SetAtlasData("atlas.txt");
    }
    // A script refused part way keeps the sets declared before the fault: they are loaded all the same.
    if (LoadSpriteScript(shared, FuzzEnginePath("sprites.txt").c_str()).failed() && app.list.GetCount() == 0)
        return 0;
    for (int i = 0; i < app.list.GetCount(); ++i) {
        ResourceEntry* entry = app.list.Get(i);
        if (!ProbesManyFiles(*entry) && entry->Load().ok()) {
            for (int f = 0; f < entry->GetFrameCount(); ++f)
                entry->GetFrame(f);
            for (int k = 0; k < entry->GetAtlasItemCount(); ++k)
                app.list.FindByName(entry->GetAtlasItem(k)->name.CStr());
            // A second reference, then both given back.
            if (entry->Load().ok())
                entry->Release();
            entry->Release();
        }
    }
    app.list.Clear();
    return 0;
}
