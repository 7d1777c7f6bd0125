#include "engine/ui/ui_layout.h"

#include <cstring>
#include <memory>
#include <new>

#include "engine/core/application.h"
#include "engine/core/load_result.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/text_script.h"

namespace {

bool IsEnd(const ShortString& line)
{
    return SameText(line.CStr(), "end");
}

bool IsDialogKind(const WidgetDesc* desc)
{
    return desc->type == kDescRoot || desc->type == kDescDialog;
}

// Opens the file from the packs or the folders; null when it cannot be read.
std::unique_ptr<Stream> OpenPath(Application* app, const char* path)
{
    if (!app || !path)
        return nullptr;
    std::unique_ptr<PackMemoryFile> file(app->CreatePackMemoryFile());
    if (!file || !file->Open(app, path, kStreamRead))
        return nullptr;
    return file;
}

std::unique_ptr<Stream> OpenLayoutFile(Application* app, const char* fileName)
{
    if (!app || !fileName)
        return nullptr;
    String path;
    String::Concat(path, app->GetUiFolder(), String(fileName));
    return OpenPath(app, path.CStr());
}

}  // namespace

UiLayout::~UiLayout()
{
    for (int i = 0; i < descriptions.Count(); ++i)
        delete DescAt(i);
    for (int i = 0; i < actions.Count(); ++i)
        delete ActionAt(i);
}

WidgetDesc* UiLayout::CreateDesc(int type)
{
    switch (type) {
    case kDescRoot: return new (std::nothrow) RootDesc();
    case kDescImage: return new (std::nothrow) ImageDesc();
    case kDescText: return new (std::nothrow) TextDesc();
    case kDescButton: return new (std::nothrow) ButtonDesc();
    case kDescDialog: return new (std::nothrow) DialogDesc();
    case kDescProgress: return new (std::nothrow) ProgressBarDesc();
    case kDescTiledBg: return new (std::nothrow) TiledBgDesc();
    case kDescTuner: return new (std::nothrow) TunerDesc();
    case kDescTextMulti: return new (std::nothrow) TextMultiDesc();
    case kDescCheckBox: return new (std::nothrow) CheckBoxDesc();
    case kDescTextInfo: return new (std::nothrow) TextInfoDesc();
    }
    return nullptr;
}

WidgetDesc* UiLayout::FindDesc(const char* name) const
{
    if (!name)
        return nullptr;
    for (int i = 0; i < descriptions.Count(); ++i) {
        WidgetDesc* desc = DescAt(i);
        if (SameText(desc->name.CStr(), name))
            return desc;
    }
    return nullptr;
}

WidgetDesc* UiLayout::FindFirstRoot() const
{
    for (int i = 0; i < descriptions.Count(); ++i) {
        if (DescAt(i)->type == kDescRoot)
            return DescAt(i);
    }
    return nullptr;
}

UiAction* UiLayout::FindAction(const char* name) const
{
    if (!name)
        return nullptr;
    for (int i = 0; i < actions.Count(); ++i) {
        if (SameText(ActionAt(i)->name.CStr(), name))
            return ActionAt(i);
    }
    return nullptr;
}

bool UiLayout::AddAction()
{
    std::unique_ptr<UiAction> action(new (std::nothrow) UiAction());
    if (!action || !actions.Add(action.get()))
        return false;
    action.release();
    return true;
}

LoadedValue<UiLayout*> UiLayout::LoadFile(UiLayoutParser& parser, Application* app, const char* fileName)
{
    if (!app || !fileName)
        return {nullptr, LoadResult::Failed(fileName, "cannot be read")};
    String path;
    String::Concat(path, app->GetUiFolder(), String(fileName));
    return LoadFromPath(parser, app, path.CStr());
}

LoadedValue<UiLayout*> UiLayout::LoadFromPath(UiLayoutParser& parser, Application* app, const char* path)
{
    std::unique_ptr<PackMemoryFile> file(app ? app->CreatePackMemoryFile() : nullptr);
    LoadResult opened = file ? file->Load(app, path) : LoadResult::Failed(path, "cannot be read");
    if (opened.failed())
        return {nullptr, opened};
    parser.Reset();
    std::unique_ptr<UiLayout> document(new (std::nothrow) UiLayout());
    parser.document = document.get();
    // A document that could not be filled for want of memory is not handed out half made.
    if (document && !ParseStream(parser, file.get()))
        document.reset();
    parser.document = nullptr;
    if (!document)
        return {nullptr, file->Refused("no memory left")};
    document->shownName.Assign(file->GetShownName());
    return {document.release(), LoadResult()};
}

bool UiLayout::ParseStream(UiLayoutParser& parser, Stream* stream)
{
    UiLayout* doc = parser.document;
    if (!doc || !stream)
        return false;
    stream->Seek(0, kSeekStart);
    ShortString line, key, value;
    while (ReadScriptLine(stream, line)) {
        if (IsEnd(line)) {
            if (parser.state == UiLayoutParser::kInDesc && parser.childBlock)
                parser.childBlock = false;
            else if (parser.state == UiLayoutParser::kInDesc && parser.actionsBlock)
                parser.actionsBlock = false;
            else
                parser.state = UiLayoutParser::kTop;
            continue;
        }
        SplitKeyValue(line.CStr(), key, value);
        ShortString name;
        switch (parser.state) {
        case UiLayoutParser::kTop: {
            parser.childBlock = false;
            parser.actionsBlock = false;
            Unquote(name, value.CStr());
            if (SameText(key.CStr(), "action")) {
                if (!doc->AddAction())
                    return false;
                doc->ActionAt(doc->ActionCount() - 1)->name.Assign(name.CStr());
                parser.state = UiLayoutParser::kInAction;
                break;
            }
            // An unknown word, an empty key included, opens a root.
            int type = DescTypeOfWord(key.CStr());
            if (type < 0)
                type = kDescRoot;
            std::unique_ptr<WidgetDesc> owned(CreateDesc(type));
            if (!owned || !doc->descriptions.Add(owned.get()))
                return false;
            WidgetDesc* desc = owned.release();
            desc->type = static_cast<uint8_t>(type);
            desc->name.Assign(name.CStr());
            parser.state = UiLayoutParser::kInDesc;
            break;
        }
        case UiLayoutParser::kInDesc:
            ParseDescLine(parser, doc->DescAt(doc->DescCount() - 1), key.CStr(), value.CStr());
            break;
        case UiLayoutParser::kInAction:
            ParseActionLine(parser, key.CStr(), value.CStr(), nullptr);
            break;
        }
    }
    return true;
}

void UiLayout::ParseDescLine(UiLayoutParser& parser, WidgetDesc* desc, const char* key, const char* value)
{
    if (!desc)
        return;
    DialogDesc* dialog = IsDialogKind(desc) ? dynamic_cast<DialogDesc*>(desc) : nullptr;
    if (SameText(value, "actions")) {
        parser.actionsBlock = true;
        parser.childBlock = false;
        return;
    }
    if (SameText(key, "child")) {
        parser.childBlock = true;
        parser.actionsBlock = false;
        if (dialog)
            dialog->AddChild(value);
        return;
    }
    // Sub-blocks of other kinds are read and dropped.
    if (parser.actionsBlock) {
        if (dialog)
            dialog->ParseBindingLine(key, value);
        return;
    }
    if (parser.childBlock) {
        if (dialog)
            dialog->ParsePlacementLine(key, value);
        return;
    }
    desc->Parse(key, value);
}

void UiLayout::ParseActionLine(UiLayoutParser& parser, const char* key, const char* value, UiAction* action)
{
    if (!action && parser.document)
        action = parser.document->ActionAt(parser.document->ActionCount() - 1);
    ParseActionStep(action, key, value);
}

WidgetDesc* UiLayout::LoadDescByName(UiLayoutParser& parser, Application* app, const char* fileName, const char* quotedName)
{
    std::unique_ptr<Stream> stream = OpenLayoutFile(app, fileName);
    if (!stream)
        return nullptr;
    return ReadDescByName(parser, stream.get(), quotedName);
}

// The description's own "end" is found by following its child and actions sub-blocks as the
// whole-file parser does, so a sub-block's "end" does not cut the description short.
WidgetDesc* UiLayout::ReadDescByName(UiLayoutParser& parser, Stream* stream, const char* quotedName)
{
    if (!stream || !quotedName)
        return nullptr;
    parser.Reset();
    stream->Seek(0, kSeekStart);
    ShortString line, key, value;
    std::unique_ptr<WidgetDesc> desc;
    while (!desc) {
        if (!ReadScriptLine(stream, line))
            return nullptr;
        SplitKeyValue(line.CStr(), key, value);
        int type = DescTypeOfWord(key.CStr());
        if (type < 0 || !SameText(value.CStr(), quotedName))
            continue;
        desc.reset(CreateDesc(type));
        if (!desc)
            return nullptr;
        desc->type = static_cast<uint8_t>(type);
        ShortString name;
        Unquote(name, value.CStr());
        desc->name.Assign(name.CStr());
    }
    parser.state = UiLayoutParser::kInDesc;
    while (ReadScriptLine(stream, line)) {
        if (IsEnd(line)) {
            if (parser.childBlock) {
                parser.childBlock = false;
            } else if (parser.actionsBlock) {
                parser.actionsBlock = false;
            } else {
                parser.Reset();
                return desc.release();
            }
            continue;
        }
        SplitKeyValue(line.CStr(), key, value);
        ParseDescLine(parser, desc.get(), key.CStr(), value.CStr());
    }
    parser.Reset();
    return nullptr;
}

UiAction* UiLayout::LoadActionByName(UiLayoutParser& parser, Application* app, const char* fileName, const char* quotedName)
{
    std::unique_ptr<Stream> stream = OpenLayoutFile(app, fileName);
    if (!stream)
        return nullptr;
    return ReadActionByName(parser, stream.get(), quotedName);
}

UiAction* UiLayout::ReadActionByName(UiLayoutParser& parser, Stream* stream, const char* quotedName)
{
    if (!stream || !quotedName)
        return nullptr;
    parser.Reset();
    stream->Seek(0, kSeekStart);
    ShortString line, key, value;
    for (;;) {
        if (!ReadScriptLine(stream, line))
            return nullptr;
        SplitKeyValue(line.CStr(), key, value);
        if (SameText(key.CStr(), "action") && SameText(value.CStr(), quotedName))
            break;
    }
    std::unique_ptr<UiAction> action(new (std::nothrow) UiAction());
    if (!action)
        return nullptr;
    ShortString name;
    Unquote(name, value.CStr());
    action->name.Assign(name.CStr());
    parser.state = UiLayoutParser::kInAction;
    while (ReadScriptLine(stream, line)) {
        if (IsEnd(line)) {
            parser.Reset();
            return action.release();
        }
        SplitKeyValue(line.CStr(), key, value);
        ParseActionLine(parser, key.CStr(), value.CStr(), action.get());
    }
    parser.Reset();
    return nullptr;
}

bool Application::AddLayoutDocument(const char* name, UiLayout* layout)
{
    if (!name || !layout)
        return false;
    std::unique_ptr<LayoutDocument> owned(new (std::nothrow) LayoutDocument());
    if (!owned)
        return false;
    owned->name.Assign(name);
    if (!layoutDocuments_.Add(owned.get()))
        return false;
    LayoutDocument* record = owned.release();
    record->layout = layout;
    return true;
}

UiLayout* Application::FindLayoutDocument(const char* name) const
{
    for (int i = 0; i < layoutDocuments_.Count(); ++i) {
        auto* record = static_cast<LayoutDocument*>(layoutDocuments_.At(i));
        if (SameText(record->name.CStr(), name))
            return record->layout;
    }
    return nullptr;
}
