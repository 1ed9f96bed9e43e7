#include "app/builtin_strings.h"

#include <cstring>

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
    if (!buffer || size <= 0)
        return 0;
    const char* text = Find(id);
    if (!text) {
        buffer[0] = '\0';
        return 0;
    }
    size_t n = std::strlen(text);
    if (n > static_cast<size_t>(size - 1))
        n = static_cast<size_t>(size - 1);
    std::memcpy(buffer, text, n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

bool LoadBuiltInStrings()
{
    return TheStringTable().Load(BuiltInStrings());
}
