#pragma once
// The language string table. Stand-in until the language file is read: it holds no texts.
class StringTable {
public:
    StringTable() = default;
    virtual ~StringTable() = default;
    bool Load(const char* fileName, int growStep);
};
