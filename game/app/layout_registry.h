#pragma once
// The application's cache of parsed layout files, and the screen root that borrows its documents
// from it: every screen built from one file shares one parse, kept until the application ends.
#include "engine/core/arrays.h"
#include "engine/core/strings.h"
#include "engine/ui/root_widget.h"

class Application;
class UiLayout;

struct LayoutRegistryEntry {
    LayoutRegistryEntry() = default;
    LayoutRegistryEntry(const LayoutRegistryEntry&) = delete;
    LayoutRegistryEntry& operator=(const LayoutRegistryEntry&) = delete;
    ~LayoutRegistryEntry();

    LongString fileName;
    UiLayout* layout = nullptr;
};

class LayoutRegistry {
public:
    explicit LayoutRegistry(Application* application) : application_(application) {}
    LayoutRegistry(const LayoutRegistry&) = delete;
    LayoutRegistry& operator=(const LayoutRegistry&) = delete;

    // Latest entry first, names compared byte for byte.
    UiLayout* Find(const char* fileName) const;
    // Parses the file from the UI folder and appends it; does not look for an existing entry.
    LoadedValue<UiLayout*> Load(const char* fileName);
    // Find, then Load.
    LoadedValue<UiLayout*> Get(const char* fileName);
    int Count() const { return entries_.Count(); }

private:
    Application* application_;
    OwnedItemArray<LayoutRegistryEntry> entries_{1};
};

class LayoutRootScreen : public RootWidget {
public:
    explicit LayoutRootScreen(Widget* parent) : RootWidget(parent) {}
    ~LayoutRootScreen() override;

    ScriptWidget* CreateChildFromFile(const char* fileName, const char* descName, int x, int y, int alignX, int alignY,
                                      int alignXInParent, int alignYInParent, bool fadeIn, Fixed inDelay,
                                      Fixed inDuration, bool fadeOut, Fixed outTime, Fixed outDuration) override;
    bool RunActionFromFile(const char* fileName, const char* actionName) override;
    bool LoadLayout(const char* fileName, const char* rootName) override;

protected:
    LoadedValue<UiLayout*> GetDocument(const char* fileName);
};
