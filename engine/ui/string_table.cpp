#include "engine/ui/string_table.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "engine/core/application.h"
#include "engine/core/hash_name.h"
#include "engine/core/pack_memory_file.h"
#include "engine/core/text_builder.h"

namespace {

// The cells of the language file, one at a time. Bytes are taken as they stand: the file is in
// the engine's 8-bit encoding.
class CsvScanner {
public:
    enum Event { kCell, kRowEnd, kEnd, kNoMemory };

    CsvScanner(const char* data, int32_t size) : data_(data), size_(size)
    {
        // A NUL ends the data early.
        const void* nul = size > 0 ? memchr(data, 0, static_cast<size_t>(size)) : nullptr;
        if (nul)
            size_ = static_cast<int32_t>(static_cast<const char*>(nul) - data);
    }

    // The next cell end: by ",", by LF, or by the end of the data (the pending cell stays in Cell).
    Event Next()
    {
        cell_.Clear();
        bool quoted = false;
        while (pos_ < size_) {
            char c = data_[pos_++];
            if (quoted) {
                if (c == '"') {
                    if (pos_ < size_ && data_[pos_] == '"') {
                        ++pos_;
                        if (!cell_.Append('"'))
                            return kNoMemory;
                    } else {
                        quoted = false;
                    }
                } else if (!cell_.Append(c)) {
                    return kNoMemory;
                }
                continue;
            }
            if (c == '\n')
                return kRowEnd;
            if (c == '\r')
                continue;
            if (c == ',')
                return kCell;
            if (c == '"' && cell_.Length() == 0) {
                quoted = true;
                continue;
            }
            if (!cell_.Append(c))
                return kNoMemory;
        }
        return kEnd;
    }

    const char* Cell() const { return cell_.CStr(); }

private:
    const char* data_;
    int32_t size_;
    int32_t pos_ = 0;
    TextBuilder cell_;
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Trimmed of blanks and tabs at both ends, with backslash-n as CR LF and backslash-t as TAB.
bool CleanCell(const char* cell, TextBuilder& out)
{
    out.Clear();
    size_t start = 0, end = strlen(cell);
    while (start < end && IsBlank(cell[start]))
        ++start;
    while (end > start && IsBlank(cell[end - 1]))
        --end;
    for (size_t i = start; i < end; ++i) {
        bool ok;
        if (cell[i] == '\\' && i + 1 < end && cell[i + 1] == 'n') {
            ok = out.Append("\r\n", 2);
            ++i;
        } else if (cell[i] == '\\' && i + 1 < end && cell[i + 1] == 't') {
            ok = out.Append('\t');
            ++i;
        } else {
            ok = out.Append(cell[i]);
        }
        if (!ok)
            return false;
    }
    return true;
}

const char* BufferOf(Stream* stream)
{
    if (!stream || !stream->IsInMemory())
        return nullptr;
    return static_cast<const char*>(static_cast<PackMemoryFile*>(stream)->GetBuffer());
}

bool AddString(PtrArray& list, const char* text)
{
    std::unique_ptr<String> s(new (std::nothrow) String(text));
    if (!s || !list.Add(s.get()))
        return false;
    s.release();
    return true;
}

bool AddEntry(PtrArray* entries, const char* key, const char* text)
{
    std::unique_ptr<StringEntry> entry(new (std::nothrow) StringEntry);
    if (!entry)
        return false;
    entry->key.Assign(key);
    entry->text.Assign(text);
    if ((*key && entry->key.IsEmpty()) || (*text && entry->text.IsEmpty()) || !entries->Add(entry.get()))
        return false;
    entry.release();
    return true;
}

}  // namespace

StringTable::StringTable(Application* application) : application_(application)
{
    entries_ = new (std::nothrow) PtrArray(1);
}

StringTable::~StringTable()
{
    DeleteEntries(entries_);
    delete entries_;
    DeleteStrings(languages_);
    DeleteStrings(labels_);
}

void StringTable::DeleteEntries(PtrArray* entries)
{
    if (!entries)
        return;
    for (int i = 0; i < entries->Count(); ++i)
        delete static_cast<StringEntry*>(entries->At(i));
    entries->Clear();
}

void StringTable::DeleteStrings(PtrArray& strings)
{
    for (int i = 0; i < strings.Count(); ++i)
        delete static_cast<String*>(strings.At(i));
    strings.Clear();
}

LoadResult StringTable::Load(const char* fileName, int growStep)
{
    growStep_ = growStep > 0 ? growStep : 1;
    if (!application_ || !fileName)
        return LoadResult::Failed(fileName, "no application to read it");
    std::unique_ptr<PackMemoryFile> file(application_->CreatePackMemoryFile());
    if (!file)
        return LoadResult::Failed(fileName, "no memory left");
    LoadResult why = file->Load(application_, fileName);
    if (why.ok() && !ReadHeaderRows(file.get()))
        why = file->Refused("no memory left");
    shownName_.Assign(file->GetShownName());
    if (why.ok())
        fileName_.Assign(fileName);
    return why;
}

bool StringTable::ReadHeaderRows(Stream* stream)
{
    const char* data = BufferOf(stream);
    if (!data)
        return false;
    CsvScanner scanner(data, stream->GetSize());
    int row = 0, column = 1;
    for (;;) {
        CsvScanner::Event event = scanner.Next();
        if (event == CsvScanner::kNoMemory)
            return false;
        if (event == CsvScanner::kEnd)
            return true;
        if (column >= 2 && !AddString(row == 0 ? languages_ : labels_, scanner.Cell()))
            return false;
        if (event == CsvScanner::kCell) {
            ++column;
        } else {
            if (++row == 2)
                return true;
            column = 1;
        }
    }
}

bool StringTable::SelectLanguage(int index)
{
    if (index < 0 || index >= languages_.Count())
        return false;
    const auto* name = static_cast<const String*>(languages_.At(index));
    if (name->IsEmpty() || fileName_.IsEmpty())
        return false;
    if (!ReloadEntries(name->CStr()))
        return false;
    current_ = index;
    return true;
}

bool StringTable::ReloadEntries(const char* languageName)
{
    if (!application_)
        return false;
    std::unique_ptr<PackMemoryFile> file(application_->CreatePackMemoryFile());
    if (!file)
        return false;
    return file->Open(application_, fileName_.CStr(), kStreamRead) && ParseEntries(file.get(), languageName);
}

bool StringTable::ParseEntries(Stream* stream, const char* languageName)
{
    auto* entries = new (std::nothrow) PtrArray(growStep_);
    if (!entries)
        return false;
    if (!ParseEntriesInto(entries, stream, languageName)) {
        DeleteEntries(entries);
        delete entries;
        return false;
    }
    DeleteEntries(entries_);
    delete entries_;
    entries_ = entries;
    return true;
}

bool StringTable::ParseEntriesInto(PtrArray* entries, Stream* stream, const char* languageName)
{
    const char* data = BufferOf(stream);
    if (!data || !languageName)
        return false;
    CsvScanner scanner(data, stream->GetSize());
    TextBuilder key, text, cleaned;
    int selected = 0, column = 1;
    bool firstRow = true;
    for (;;) {
        CsvScanner::Event event = scanner.Next();
        if (event == CsvScanner::kNoMemory)
            return false;
        if (firstRow) {
            if (column >= 2 && !strcmp(scanner.Cell(), languageName))
                selected = column;
        } else if (column == 1 || column == selected) {
            if (!CleanCell(scanner.Cell(), cleaned))
                return false;
            TextBuilder& target = column == 1 ? key : text;
            target.Clear();
            if (!target.Append(cleaned.CStr(), cleaned.Length()))
                return false;
        }
        if (event == CsvScanner::kCell) {
            ++column;
            continue;
        }
        if (event == CsvScanner::kEnd) {
            // The last row needs no LF; after a final LF this adds an empty entry no lookup finds.
            if (!firstRow && !AddEntry(entries, key.CStr(), text.CStr()))
                return false;
            break;
        }
        if (!firstRow && key.Length() > 0 && !AddEntry(entries, key.CStr(), text.CStr()))
            return false;
        key.Clear();
        text.Clear();
        firstRow = false;
        column = 1;
    }
    for (int i = 0; i < entries->Count(); ++i) {
        auto* entry = static_cast<StringEntry*>(entries->At(i));
        if (!entry->key.IsEmpty())
            entry->hash = HashName(entry->key.CStr());
    }
    return true;
}

String& StringTable::GetLanguageName(String& out, int index) const
{
    const auto* name = static_cast<const String*>(languages_.Get(index));
    return out = name ? *name : String();
}

String& StringTable::GetLanguageLabel(String& out, int index) const
{
    const auto* label = static_cast<const String*>(labels_.Get(index));
    return out = label ? *label : String();
}

// Later rows win, so duplicate keys resolve to the row nearest the end of the file.
int StringTable::FindRow(const char* key) const
{
    if (!key || !entries_)
        return -1;
    uint32_t hash = HashName(key);
    if (hash == 0)
        return -1;
    for (int i = entries_->Count() - 1; i >= 0; --i) {
        const StringEntry* entry = EntryAt(i);
        if (entry->hash == hash && entry->key.Equals(key))
            return i;
    }
    for (int i = entries_->Count() - 1; i >= 0; --i) {
        if (EntryAt(i)->key.Equals(key))
            return i;
    }
    return -1;
}

LoadResult StringTable::Require(String& out, const char* key) const
{
    int row = FindRow(key);
    out = row >= 0 ? EntryAt(row)->text : String();
    if (row >= 0)
        return LoadResult();
    char reason[120];
    snprintf(reason, sizeof reason, "damaged: it holds no text \"%s\"", key ? key : "");
    return Refused(reason);
}

String& StringTable::Lookup(String& out, const char* key) const
{
    int row = FindRow(key);
    return out = row >= 0 ? EntryAt(row)->text : String();
}

String& StringTable::LookupOffset(String& out, const char* key, int offset) const
{
    int row = FindRow(key);
    if (row < 0 || offset < -row || offset >= entries_->Count() - row)
        return out = String();
    return out = EntryAt(row + offset)->text;
}
