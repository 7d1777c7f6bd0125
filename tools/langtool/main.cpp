// Writes the language table (Windows-1252 CSV) from the UTF-8 language source:
//   langtool <source.txt> <out.csv>
#include <cstdio>
#include <filesystem>

#include "tools/common/text_file.h"
#include "tools/langtool/lang_source.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: langtool <source.txt> <out.csv>\n");
        return 2;
    }
    langtool::LangSource source;
    if (!langtool::ReadLangSource(argv[1], source))
        return 1;
    std::filesystem::path out(argv[2]);
    if (out.has_parent_path())
        std::filesystem::create_directories(out.parent_path());
    if (!text_file::Write(argv[2], langtool::WriteCsv(source))) {
        std::fprintf(stderr, "langtool: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
