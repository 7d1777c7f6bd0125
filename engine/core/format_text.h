#pragma once
// Texts from the language file and the layout script used as formats. Only %d and %i (with an
// optional 0 flag and width), %s and %% are substituted, each taking the next argument of the
// right kind; anything else, and any conversion past the last argument, is copied as it stands.
// Texts from data never reach printf.
#include <cstdint>
#include <initializer_list>

#include "engine/core/strings.h"

struct FormatArg {
    FormatArg(int value) : isText(false), number(value) {}
    FormatArg(const char* value) : isText(true), text(value) {}
    FormatArg(const String& value) : isText(true), text(value.CStr()) {}

    bool isText;
    int32_t number = 0;
    const char* text = nullptr;
};

String FormatText(const char* format, std::initializer_list<FormatArg> args);
String FormatText(const char* format, const FormatArg* args, int count);
