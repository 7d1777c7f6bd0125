// The layout script reader on any bytes: the whole-file parser, lookups of the last names it read,
// the by-name readers on the first description and the first action, and the first root built
// into a widget tree by the engine's own factory, within a part of the bound on a build's work. Each by-name read passes over the whole file
// again, so one of each is enough.
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

// Builds a root of a document the caller keeps.
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

// The dialog a root is built inside. It holds a build in progress that has already spent all
// but a few hundred of the entries one build may visit, so the root's build, which joins it,
// stops there: every path of a build is still reached, the bound among them, for a tenth of the
// work of a full build.
class BudgetHost : public DialogWidget {
public:
    explicit BudgetHost(Widget* parent) : DialogWidget(parent, nullptr, nullptr, nullptr)
    {
        spent_.entries = kMaxBuildEntries - 384;
        build_ = &spent_;
    }
    ~BudgetHost() override { build_ = nullptr; }

private:
    BuildState spent_;
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
    // Each lookup is a pass over the document: the last names, not every one.
    if (layout.DescCount() > 0)
        layout.FindDesc(layout.DescAt(layout.DescCount() - 1)->name.CStr());
    if (layout.ActionCount() > 0)
        layout.FindAction(layout.ActionAt(layout.ActionCount() - 1)->name.CStr());
    if (layout.DescCount() > 0)
        ReadByName(parser, stream, layout.DescAt(0)->name, false);
    if (layout.ActionCount() > 0)
        ReadByName(parser, stream, layout.ActionAt(0)->name, true);
    delete stream;

    // Kept for the whole run: the root leaves it when deleted.
    static LayoutFuzzApp* app = new LayoutFuzzApp();
    if (WidgetDesc* first = layout.FindFirstRoot()) {
        BudgetHost host(app);
        FuzzRoot root(&host);
        root.Build(&layout, first);
        root.FocusNext(4);
    }
    return 0;
}
