// The program's string resources as the string table's source.
#pragma once

#include <windows.h>

#include "base/string_table.h"

class ResourceStringSource : public StringSource {
public:
    explicit ResourceStringSource(HINSTANCE instance) : instance(instance) {}
    int Load(int id, char* buffer, int size) const override;

private:
    HINSTANCE instance;
};
