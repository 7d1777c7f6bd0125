#include <cstring>
#include <memory>

#include "engine/core/application.h"
#include "engine/core/pack_memory_file.h"
#include "engine/graphics/resource_entry.h"
#include "engine/graphics/resource_list.h"
#include "engine/core/text_script.h"

namespace {

struct Declaration {
    ShortString name;
    int kind = kSpriteSingle;
    ShortString file, afile;
    int count = 1, columns = 1, first = 0;
    bool removeRgbaIn3d = false, force8888Texture = false, forceAtlas = false;
    ShortString atlasData, atlasIndexes;
    int atlasFirst = 0, atlasCount = 0;
};

int KindOf(const char* word)
{
    if (!word)
        return kSpriteSingle;
    if (!strcmp(word, "multi"))
        return kSpriteMulti;
    if (!strcmp(word, "multi_optional"))
        return kSpriteMultiOptional;
    if (!strcmp(word, "common_alpha"))
        return kSpriteCommonAlpha;
    return kSpriteSingle;
}

// A flag line: the bare word sets it, a value sets it when above 0.
bool FlagLine(const ShortString& line, const ShortString& key, const ShortString& value, const char* word,
              bool& flag)
{
    if (line.Equals(word)) {
        flag = true;
        return true;
    }
    if (key.Equals(word)) {
        flag = ParseInt(value.CStr()) > 0;
        return true;
    }
    return false;
}

// "file" and "afile": the path, then the count, then the columns (kinds 1, 4) or the first number.
void ReadFileLine(Declaration& d, const ShortString& value, ShortString& path)
{
    ShortString items[3];
    int n = 0;
    SplitList(value.CStr(), 3, items, &n);
    if (n < 1)
        return;
    Unquote(path, items[0].CStr());
    if (n < 2)
        return;
    d.count = ParseInt(items[1].CStr());
    bool sheet = d.kind != kSpriteMulti && d.kind != kSpriteMultiOptional;
    if (sheet)
        d.columns = n >= 3 ? ParseInt(items[2].CStr()) : d.count;
    else if (n >= 3)
        d.first = ParseInt(items[2].CStr());
}

bool CreateEntry(ResourceList* list, const Declaration& d, const ShortString& atlasTexture)
{
    const char* name = d.name.CStr();
    const char* file = d.file.CStr();
    const char* afile = d.afile.CStr();
    bool made;
    switch (d.kind) {
    case kSpriteMulti:
        made = list->AddSpriteSetMulti(name, file, afile, d.count, d.first, d.removeRgbaIn3d, d.force8888Texture);
        break;
    case kSpriteMultiOptional:
        made = list->AddSpriteSetMultiOptional(name, file, afile, d.count, d.first, d.removeRgbaIn3d,
                                               d.force8888Texture);
        break;
    case kSpriteCommonAlpha:
        made = list->AddSpriteSetCommonAlpha(name, file, afile, d.count, d.columns, d.removeRgbaIn3d,
                                             d.force8888Texture);
        break;
    default:
        made = list->AddSpriteSetSingle(name, file, afile, d.count, d.columns, d.removeRgbaIn3d, d.force8888Texture);
        break;
    }
    if (!made)
        return false;
    ResourceEntry* entry = list->GetLast();
    if (d.atlasData.Length() > 0)
        entry->SetAtlasData(d.atlasData.CStr());
    if (atlasTexture.Length() > 0 && d.atlasIndexes.Length() > 0)
        entry->SetAtlas(atlasTexture.CStr(), d.atlasIndexes.CStr(), d.atlasFirst, d.atlasCount);
    if (d.forceAtlas)
        entry->SetForceAtlas(true);
    return true;
}

}  // namespace

LoadResult LoadSpriteScript(Application* app, const char* fileName)
{
    if (!app || !fileName)
        return LoadResult::Failed(fileName, "no application to read it");
    ResourceList* list = app->GetSpriteList();
    std::unique_ptr<PackMemoryFile> stream(list ? app->CreatePackMemoryFile() : nullptr);
    if (!stream)
        return LoadResult::Failed(fileName, "no memory left");
    LoadResult opened = stream->Load(app, fileName);
    if (opened.failed())
        return opened;
    stream->Seek(0, kSeekStart);
    list->NoteScript(stream->GetShownName());
    int made = 0;

    bool ok = true, inBlock = false;
    Declaration d;
    // Kept from block to block as the scripts have always had it.
    ShortString atlasTexture;
    ShortString line, key, value;
    while (ok && ReadScriptLine(stream.get(), line)) {
        SplitKeyValue(line.CStr(), key, value);
        if (!inBlock) {
            if (!key.Equals("set"))
                continue;
            ShortString items[2];
            int n = 0;
            SplitList(value.CStr(), 2, items, &n);
            if (n < 1)
                continue;
            d = Declaration();
            Unquote(d.name, items[0].CStr());
            d.kind = n >= 2 ? KindOf(items[1].CStr()) : kSpriteSingle;
            inBlock = true;
            continue;
        }
        if (line.Equals("end")) {
            ok = CreateEntry(list, d, atlasTexture);
            made += ok ? 1 : 0;
            inBlock = false;
        } else if (key.Equals("file")) {
            ReadFileLine(d, value, d.file);
        } else if (key.Equals("afile")) {
            ReadFileLine(d, value, d.afile);
        } else if (FlagLine(line, key, value, "remove_rgba_in3d", d.removeRgbaIn3d) ||
                   FlagLine(line, key, value, "force_8888_texture", d.force8888Texture) ||
                   FlagLine(line, key, value, "force_atlas", d.forceAtlas)) {
        } else if (key.Equals("atlas_data")) {
            Unquote(d.atlasData, value.CStr());
        } else if (key.Equals("atlas_texture")) {
            Unquote(atlasTexture, value.CStr());
        } else if (key.Equals("atlas_indexes")) {
            ShortString items[4];
            int n = 0;
            SplitList(value.CStr(), 4, items, &n);
            if (n != 3) {
                ok = false;
                break;
            }
            Unquote(d.atlasIndexes, items[0].CStr());
            d.atlasFirst = ParseInt(items[1].CStr());
            d.atlasCount = ParseInt(items[2].CStr());
        }
    }
    LoadResult why;
    if (!ok)
        why = stream->Refused("a set it declares cannot be made");
    else if (inBlock)
        why = stream->Refused("damaged: it ends inside a set's block: it is cut short");
    else if (made == 0)
        why = stream->Refused("damaged: it declares no sprite set");
    return why;
}
