#include "tools/langtool/lang_source.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>

#include "tools/common/cp1252.h"
#include "tools/common/source_error.h"
#include "tools/common/text_file.h"

namespace langtool {

namespace {

bool ToCp1252(const std::string& path, int line, const std::string& utf8, std::string& out)
{
    unsigned bad = 0;
    if (cp1252::FromUtf8(utf8, out, bad))
        return true;
    char message[96];
    if (bad)
        std::snprintf(message, sizeof message, "character U+%04X is not in Windows-1252", bad);
    else
        std::snprintf(message, sizeof message, "malformed UTF-8");
    return SourceError(path, line, message);
}

// "STR_TIPS_12" -> prefix "STR_TIPS_", number 12; false for a key that ends in no number.
bool SplitNumbered(const std::string& key, std::string& prefix, int& number)
{
    size_t end = key.size();
    size_t start = end;
    while (start > 0 && std::isdigit(static_cast<unsigned char>(key[start - 1])))
        --start;
    if (start == end || start == 0 || key[start - 1] != '_' || end - start > 6)
        return false;
    prefix = key.substr(0, start);
    number = std::stoi(key.substr(start));
    return true;
}

bool CheckRows(const std::string& path, const LangSource& source)
{
    std::map<std::string, int> seen;
    std::map<std::string, int> families;  // prefix -> last number
    // A numbered key with no first member anywhere is read by its own key, not by offset.
    std::set<std::string> firsts;
    for (const TextRow& row : source.rows) {
        std::string prefix;
        int number = 0;
        if (SplitNumbered(row.key, prefix, number) && number == 1)
            firsts.insert(prefix);
    }
    for (size_t r = 0; r < source.rows.size(); ++r) {
        const TextRow& row = source.rows[r];
        if (!seen.emplace(row.key, row.line).second)
            return SourceError(path, row.line, row.key + " repeats the key of line " + std::to_string(seen[row.key]));
        for (size_t l = 0; l < source.languages.size(); ++l) {
            if (row.texts[l].empty())
                return SourceError(path, row.line, row.key + " has no " + source.languages[l].code + " text");
            if (l > 0 && Conversions(row.texts[l]) != Conversions(row.texts[0]))
                return SourceError(path, row.line,
                                   row.key + ": the " + source.languages[l].code + " text's %-conversions differ from enUS's");
        }
        // A numbered family is read by offset from its first member: 1, 2, 3... in adjacent rows.
        std::string prefix;
        int number = 0;
        if (!SplitNumbered(row.key, prefix, number) || !firsts.count(prefix))
            continue;
        std::string previous;
        int previousNumber = 0;
        bool follows = r > 0 && SplitNumbered(source.rows[r - 1].key, previous, previousNumber) && previous == prefix &&
                       previousNumber == number - 1;
        if (number == 1) {
            if (families.count(prefix))
                return SourceError(path, row.line, row.key + " starts its family a second time");
        } else if (!follows) {
            return SourceError(path, row.line,
                               row.key + " must follow " + prefix + std::to_string(number - 1) + " directly");
        }
        families[prefix] = number;
    }
    return true;
}

}  // namespace

std::vector<std::string> Conversions(const std::string& text)
{
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        size_t j = i + 1;
        if (j < text.size() && text[j] == '%') {
            i = j;
            continue;
        }
        while (j < text.size() && std::strchr("-+ #0123456789.lhz", text[j]))
            ++j;
        out.push_back(text.substr(i, j < text.size() ? j - i + 1 : j - i));
        i = j;
    }
    return out;
}

bool ReadLangSource(const std::string& path, LangSource& out)
{
    std::vector<std::string> lines;
    if (!text_file::ReadLines(path, lines))
        return SourceError(path, 0, "cannot read");
    TextRow* row = nullptr;
    for (size_t i = 0; i < lines.size(); ++i) {
        int lineNo = static_cast<int>(i) + 1;
        std::string line = text_file::Trim(lines[i]);
        if (line.empty() || line.compare(0, 2, "//") == 0)
            continue;
        if (line.compare(0, 9, "language ") == 0) {
            if (!out.rows.empty())
                return SourceError(path, lineNo, "languages come before the texts");
            std::string rest = text_file::Trim(line.substr(9));
            size_t blank = rest.find(' ');
            Language language;
            language.code = rest.substr(0, blank);
            std::string label = blank == std::string::npos ? std::string() : text_file::Trim(rest.substr(blank));
            if (language.code.size() != 4 || label.empty())
                return SourceError(path, lineNo, "a language line is: language <code> <label>");
            if (out.languages.empty() && language.code != "enUS")
                return SourceError(path, lineNo, "the first language is enUS, the default");
            for (const Language& other : out.languages)
                if (other.code == language.code)
                    return SourceError(path, lineNo, "language " + language.code + " given twice");
            if (out.languages.size() == kMaxLanguages)
                return SourceError(path, lineNo, "more than seven languages");
            if (!ToCp1252(path, lineNo, label, language.label))
                return false;
            if (language.label.find_first_of(",\"") != std::string::npos)
                return SourceError(path, lineNo, "a language label holds no comma or quote");
            out.languages.push_back(language);
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3)
                return SourceError(path, lineNo, "a key line is [KEY]");
            if (out.languages.empty())
                return SourceError(path, lineNo, "no language before the first key");
            out.rows.push_back({line.substr(1, line.size() - 2), lineNo, std::vector<std::string>(out.languages.size())});
            row = &out.rows.back();
            if (row->key.find_first_of(" ,\"\t") != std::string::npos)
                return SourceError(path, lineNo, "a key holds no blank, comma or quote");
            continue;
        }
        size_t equals = line.find('=');
        if (!row || equals == std::string::npos)
            return SourceError(path, lineNo, "expected [KEY] or <language> = <text>");
        std::string code = text_file::Trim(line.substr(0, equals));
        std::string text = text_file::Trim(line.substr(equals + 1));
        size_t l = 0;
        while (l < out.languages.size() && out.languages[l].code != code)
            ++l;
        if (l == out.languages.size())
            return SourceError(path, lineNo, "unknown language " + code);
        if (!row->texts[l].empty())
            return SourceError(path, lineNo, row->key + " has two " + code + " texts");
        if (text.empty())
            return SourceError(path, lineNo, "empty text");
        if (!ToCp1252(path, lineNo, text, row->texts[l]))
            return false;
    }
    if (out.languages.empty())
        return SourceError(path, 1, "no languages");
    return CheckRows(path, out);
}

std::string WriteCsv(const LangSource& source)
{
    auto cell = [](const std::string& text) {
        if (text.find_first_of(",\"") == std::string::npos)
            return text;
        std::string quoted = "\"";
        for (char c : text) {
            quoted += c;
            if (c == '"')
                quoted += '"';
        }
        return quoted + "\"";
    };
    // Appended piece by piece: gcc's -O3 sees a false overlap in `csv += "," + text`.
    std::string csv;
    for (const Language& language : source.languages)
        csv.append(",").append(language.code);
    csv += "\r\n";
    for (const Language& language : source.languages)
        csv.append(",").append(language.label);
    csv += "\r\n";
    for (const TextRow& row : source.rows) {
        csv += row.key;
        for (const std::string& text : row.texts)
            csv.append(",").append(cell(text));
        csv += "\r\n";
    }
    return csv;
}

}  // namespace langtool
