// The texts of res/strings.inc compiled into the program, served like string
// resources. Native tests and tools load the string table from here, so they
// see exactly the texts the Windows program carries in its resources.
#pragma once

#include "base/string_table.h"

class BuiltInStrings : public StringSource {
public:
    int Load(int id, char* buffer, int size) const override;

    // The compiled-in text of id, or null when there is none.
    static const char* Find(int id);
};

// Loads the program's string table from the compiled-in texts.
bool LoadBuiltInStrings();
