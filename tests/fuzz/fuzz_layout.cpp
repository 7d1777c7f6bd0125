// The layout script reader on any bytes: the whole-file parser, lookups of everything it read,
// the by-name readers of descriptions and actions, and the first roots built into widget trees
// by the engine's own factory.
#include <cstdint>
#include <cstring>

#include "engine/core/memory.h"
#include "engine/core/pack_memory_file.h"
#include "engine/ui/root_widget.h"
#include "engine/ui/ui_layout.h"
#include "fuzz_disk_app.h"

namespace {

PackMemoryFile* MemoryStream(const uint8_t* data, size_t size)
{
    auto* stream = new PackMemoryFile();
    void* block = Alloc(size ? size : 1);
    if (size)
        memcpy(block, data, size);
    stream->SetBuffer(block, static_cast<int32_t>(size));
    return stream;
}

void ReadByName(UiLayoutParser& parser, PackMemoryFile* stream, const String& name, bool action)
{
    String quoted;
    quoted.Format("\"%s\"", name.CStr() ? name.CStr() : "");
    if (action)
        delete UiLayout::ReadActionByName(parser, stream, quoted.CStr());
    else
        delete UiLayout::ReadDescByName(parser, stream, quoted.CStr());
}

// Builds roots of a document the caller keeps; one build makes a bounded number of widgets
// however the document nests its dialogs.
class FuzzRoot : public RootWidget {
public:
    using RootWidget::RootWidget;
    ~FuzzRoot() override
    {
        DeleteChildren();
        layout_ = nullptr;
        desc_ = nullptr;
    }
    void Build(UiLayout* layout, WidgetDesc* root)
    {
        DeleteChildren();
        layout_ = layout;
        desc_ = root;
        if (!Init())
            DeleteChildren();
    }
};

class LayoutFuzzApp : public DiskFuzzApp {
public:
    String GetImageFolder() override { return String((FuzzEnginePath("") + "\\").c_str()); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzFolder();
    PackMemoryFile* stream = MemoryStream(data, size);
    UiLayoutParser parser;
    UiLayout layout;
    parser.document = &layout;
    UiLayout::ParseStream(parser, stream);
    parser.document = nullptr;
    for (int i = 0; i < layout.DescCount(); ++i) {
        WidgetDesc* desc = layout.DescAt(i);
        layout.FindDesc(desc->name.CStr());
        if (i < 4)
            ReadByName(parser, stream, desc->name, false);
    }
    for (int i = 0; i < layout.ActionCount(); ++i) {
        layout.FindAction(layout.ActionAt(i)->name.CStr());
        if (i < 4)
            ReadByName(parser, stream, layout.ActionAt(i)->name, true);
    }
    layout.FindFirstRoot();
    delete stream;

    LayoutFuzzApp app;
    FuzzRoot root(&app);
    for (int i = 0, built = 0; i < layout.DescCount() && built < 4; ++i) {
        WidgetDesc* desc = layout.DescAt(i);
        if (desc->type != kDescRoot)
            continue;
        root.Build(&layout, desc);
        root.FocusNext(4);
        ++built;
    }
    return 0;
}
