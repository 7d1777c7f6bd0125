#include "game/app/layout_registry.h"

#include <cstring>
#include <memory>
#include <new>

#include "engine/ui/ui_layout.h"
#include "engine/ui/widget_messages.h"
#include "game/app/game_app.h"

LayoutRegistryEntry::~LayoutRegistryEntry()
{
    delete layout;
}

UiLayout* LayoutRegistry::Find(const char* fileName) const
{
    if (!fileName)
        return nullptr;
    size_t length = strlen(fileName);
    for (int i = entries_.Count() - 1; i >= 0; --i) {
        LayoutRegistryEntry* entry = entries_.Get(i);
        if (entry->fileName.Length() == length && memcmp(entry->fileName.CStr(), fileName, length) == 0)
            return entry->layout;
    }
    return nullptr;
}

LoadedValue<UiLayout*> LayoutRegistry::Load(const char* fileName)
{
    if (!fileName)
        return {nullptr, LoadResult::Failed(fileName, "cannot be read")};
    UiLayoutParser parser;
    LoadedValue<UiLayout*> loaded = UiLayout::LoadFile(parser, application_, fileName);
    std::unique_ptr<UiLayout> document(loaded.value);
    if (!document)
        return loaded;
    std::unique_ptr<LayoutRegistryEntry> entry(new (std::nothrow) LayoutRegistryEntry());
    if (!entry)
        return {nullptr, LoadResult::Failed(fileName, "cannot be read")};
    entry->fileName.Assign(fileName);
    entry->layout = document.release();
    if (!entries_.Append(entry.get()))
        return {nullptr, LoadResult::Failed(fileName, "cannot be read")};
    return {entry.release()->layout, LoadResult()};
}

LoadedValue<UiLayout*> LayoutRegistry::Get(const char* fileName)
{
    if (UiLayout* document = Find(fileName))
        return {document, LoadResult()};
    return Load(fileName);
}

LayoutRootScreen::~LayoutRootScreen()
{
    // The document belongs to the registry; the children that point into it go first.
    ClearHistory();
    DeleteChildren();
    layout_ = nullptr;
    desc_ = nullptr;
}

LoadedValue<UiLayout*> LayoutRootScreen::GetDocument(const char* fileName)
{
    auto* game = dynamic_cast<GameApp*>(application_);
    if (!game)
        return {nullptr, LoadResult::Failed(fileName, "cannot be read")};
    return game->GetLayoutRegistry().Get(fileName);
}

bool LayoutRootScreen::LoadLayout(const char* fileName, const char* rootName)
{
    LoadedValue<UiLayout*> document = GetDocument(fileName);
    if (!document.value) {
        loadResult_ = document.why;
        return false;
    }
    // Held as if parsed here, so the root's own load finds the file in place and parses nothing.
    layout_ = document.value;
    fileName_.Assign(fileName);
    return RootWidget::LoadLayout(fileName, rootName);
}

ScriptWidget* LayoutRootScreen::CreateChildFromFile(const char* fileName, const char* descName, int x, int y,
                                                    int alignX, int alignY, int alignXInParent, int alignYInParent,
                                                    bool fadeIn, Fixed inDelay, Fixed inDuration, bool fadeOut,
                                                    Fixed outTime, Fixed outDuration)
{
    LoadedValue<UiLayout*> document = GetDocument(fileName);
    KeepLoadFailure(document.why);
    WidgetDesc* desc = document.value && descName ? document.value->FindDesc(descName) : nullptr;
    if (document.value && !desc)
        LayoutLacks(document.value->shownName.CStr(), descName);
    if (!desc)
        return nullptr;
    ChildPlacement placement = MakeFilePlacement(x, y, alignX, alignY, alignXInParent, alignYInParent, fadeIn, inDelay,
                                                 inDuration, fadeOut, outTime, outDuration);
    return CreateChildPlaced(desc, &placement);
}

bool LayoutRootScreen::RunActionFromFile(const char* fileName, const char* actionName)
{
    LoadedValue<UiLayout*> document = GetDocument(fileName);
    KeepLoadFailure(document.why);
    UiAction* action = document.value && actionName ? document.value->FindAction(actionName) : nullptr;
    if (document.value && !action)
        LayoutLacks(document.value->shownName.CStr(), actionName);
    if (!action)
        return false;
    bool ran = RunAction(action);
    String name(actionName);
    // Nothing of the screen is touched after the report: a handler may delete it.
    SendEvent(this, kMsgActionRun, name.CStr(), 0);
    return ran;
}
