#pragma once
// The UI layout script: every screen, dialog and widget is described in a text file read at run
// time into a UiLayout document of widget descriptions and named actions. The parser never
// fails on content: a line it does not understand is passed over.
#include "engine/core/arrays.h"
#include "engine/core/load_result.h"
#include "engine/core/strings.h"
#include "engine/ui/ui_action.h"
#include "engine/ui/widget_desc.h"

class Application;
class Stream;
class UiLayout;

// The context of one load; the loaders clear its state and flags before reading.
struct UiLayoutParser {
    enum State { kTop = 0, kInDesc = 1, kInAction = 2 };

    UiLayout* document = nullptr;
    int state = kTop;
    bool childBlock = false;
    bool actionsBlock = false;

    void Reset()
    {
        state = kTop;
        childBlock = false;
        actionsBlock = false;
    }
};

class UiLayout {
public:
    UiLayout() = default;
    UiLayout(const UiLayout&) = delete;
    UiLayout& operator=(const UiLayout&) = delete;
    virtual ~UiLayout();

    // The record of a type 0..10; null above that or when memory runs out.
    static WidgetDesc* CreateDesc(int type);

    // First match in file order; names compare byte for byte.
    WidgetDesc* FindDesc(const char* name) const;
    WidgetDesc* FindFirstRoot() const;
    UiAction* FindAction(const char* name) const;
    // Appends an empty action for the whole-file parser to name.
    bool AddAction();

    int DescCount() const { return descriptions.Count(); }
    WidgetDesc* DescAt(int index) const { return static_cast<WidgetDesc*>(descriptions.Get(index)); }
    int ActionCount() const { return actions.Count(); }
    UiAction* ActionAt(int index) const { return static_cast<UiAction*>(actions.Get(index)); }

    // The whole file from the application's UI folder; null, with why, when it cannot be read. The
    // caller owns the document.
    static LoadedValue<UiLayout*> LoadFile(UiLayoutParser& parser, Application* app, const char* fileName);
    static LoadedValue<UiLayout*> LoadFromPath(UiLayoutParser& parser, Application* app, const char* path);
    // Reads every line of the stream from its start into the parser's document; false only when
    // memory runs out.
    static bool ParseStream(UiLayoutParser& parser, Stream* stream);

    // One description or action, found by its raw value (quotes included); the caller owns it.
    static WidgetDesc* LoadDescByName(UiLayoutParser& parser, Application* app, const char* fileName, const char* quotedName);
    static WidgetDesc* ReadDescByName(UiLayoutParser& parser, Stream* stream, const char* quotedName);
    static UiAction* LoadActionByName(UiLayoutParser& parser, Application* app, const char* fileName, const char* quotedName);
    static UiAction* ReadActionByName(UiLayoutParser& parser, Stream* stream, const char* quotedName);

    // One line inside a description block: sub-block openers, bindings, placements, own keys.
    static void ParseDescLine(UiLayoutParser& parser, WidgetDesc* desc, const char* key, const char* value);
    // One step line; a null action means the document's last action.
    static void ParseActionLine(UiLayoutParser& parser, const char* key, const char* value, UiAction* action);

    PtrArray descriptions{5};
    PtrArray actions{5};
    // The file as the packs spell it, for the messages of a screen it cannot build.
    String shownName;
};

// A parsed document the application keeps under a name for the whole run.
struct LayoutDocument {
    LayoutDocument() = default;
    LayoutDocument(const LayoutDocument&) = delete;
    LayoutDocument& operator=(const LayoutDocument&) = delete;
    ~LayoutDocument() { delete layout; }

    String name;
    UiLayout* layout = nullptr;
};
