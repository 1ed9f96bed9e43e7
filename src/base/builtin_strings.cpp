#include "base/builtin_strings.h"

#include <cstring>

#include "lib/gstring.h"

namespace {

struct BuiltInString {
    int id;
    const char* text;
};

const BuiltInString BUILT_IN_STRINGS[] = {
#define KV_STRING(id, text) {id, text},
#include "strings.inc"
#undef KV_STRING
};

}  // namespace

const char* BuiltInStrings::Find(int id)
{
    for (const BuiltInString& s : BUILT_IN_STRINGS) {
        if (s.id == id)
            return s.text;
    }
    return nullptr;
}

int BuiltInStrings::Load(int id, char* buffer, int size) const
{
    return CopyString(buffer, size, Find(id));
}

bool LoadBuiltInStrings()
{
    return TheStringTable().Load(BuiltInStrings());
}
