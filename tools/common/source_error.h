#pragma once
// The data tools' one way to reject a source: "<file>:<line>: <message>" on stderr.
#include <cstdio>
#include <string>

inline bool SourceError(const std::string& file, int line, const std::string& message)
{
    std::fprintf(stderr, "%s:%d: %s\n", file.c_str(), line, message.c_str());
    return false;
}
