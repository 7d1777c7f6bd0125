#pragma once
// The language table: "Languages\kelo.csv", one column per language and one row per text key.
// The first two rows name the languages and their labels; the texts of one column are loaded
// on request and found by key, or by offset from a key for numbered families.
#include <cstdint>

#include "engine/core/arrays.h"
#include "engine/core/load_result.h"
#include "engine/core/strings.h"

class Application;
class Stream;

struct StringEntry {
    String key;
    String text;
    uint32_t hash = 0;
};

class StringTable {
public:
    explicit StringTable(Application* application);
    StringTable(const StringTable&) = delete;
    StringTable& operator=(const StringTable&) = delete;
    virtual ~StringTable();

    // Reads the language names and labels; the entries grow by growStep.
    LoadResult Load(const char* fileName, int growStep);
    // Why the texts of the file loaded are refused, naming it as it was found.
    LoadResult Refused(const char* reason) const { return LoadResult::Failed(shownName_.CStr(), reason); }
    // Loads the texts of one language. A failure keeps the texts and the index in use.
    bool SelectLanguage(int index);
    String& GetLanguageName(String& out, int index) const;
    String& GetLanguageLabel(String& out, int index) const;
    int GetLanguageCount() const { return languages_.Count(); }
    // -1 until a language is selected.
    int GetCurrentLanguage() const { return current_; }
    String& Lookup(String& out, const char* key) const;
    // As Lookup, for a text a screen asks for: a key the table lacks is damage of the table (cut
    // short, it loses its last rows), which the failure names.
    LoadResult Require(String& out, const char* key) const;
    // The text offset rows after the key's row; empty out of range.
    String& LookupOffset(String& out, const char* key, int offset) const;
    int GetEntryCount() const { return entries_ ? entries_->Count() : 0; }

    // The readers over a stream whose data is in memory.
    bool ReadHeaderRows(Stream* stream);
    bool ParseEntries(Stream* stream, const char* languageName);

private:
    bool ParseEntriesInto(PtrArray* entries, Stream* stream, const char* languageName);

    static void DeleteEntries(PtrArray* entries);
    static void DeleteStrings(PtrArray& strings);
    const StringEntry* EntryAt(int index) const { return static_cast<const StringEntry*>(entries_->Get(index)); }
    int FindRow(const char* key) const;
    bool ReloadEntries(const char* languageName);

    Application* application_;
    String fileName_;
    String shownName_;
    PtrArray languages_{1};
    PtrArray labels_{1};
    int current_ = -1;
    int growStep_ = 1;
    // Replaced whole when a language loads, so a failed load leaves the old texts.
    PtrArray* entries_ = nullptr;
};
