#include "engine/ui/string_table.h"

bool StringTable::Load(const char* fileName, int growStep)
{
    return fileName && growStep > 0;
}
