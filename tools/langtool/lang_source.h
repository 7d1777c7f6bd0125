#pragma once
// The language source: one UTF-8 file holding every text in every language.
//
//   language enUS English          one line per language, enUS first; at most seven
//   [STR_KEY]                      a text key; its texts follow, one per language
//   deDE = Text auf Deutsch        the text runs to the end of the line
//   // a comment
#include <string>
#include <vector>

namespace langtool {

constexpr size_t kMaxLanguages = 7;

struct Language {
    std::string code, label;  // label in Windows-1252
};

struct TextRow {
    std::string key;
    int line = 0;
    std::vector<std::string> texts;  // one per language, Windows-1252
};

struct LangSource {
    std::vector<Language> languages;
    std::vector<TextRow> rows;
};

// Reads and checks the source; a fault prints "<file>:<line>: <message>" and gives false.
bool ReadLangSource(const std::string& path, LangSource& out);

// The conversions of a printf-style format ("%d", "%s", "%5.2f"...), "%%" left out.
std::vector<std::string> Conversions(const std::string& text);

// The language table as the game reads it: two header rows, then one row per key.
std::string WriteCsv(const LangSource& source);

}  // namespace langtool
