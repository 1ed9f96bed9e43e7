#include "base/file_names.h"

#include <cstring>

namespace {

bool IsSeparator(char c)
{
    return c == '\\' || c == '/' || c == ':';
}

}

int FindFileName(const char* path)
{
    int start = 0;
    for (int i = 0; path[i]; i++) {
        if (IsSeparator(path[i]))
            start = i + 1;
    }
    return start;
}

int FindExtension(const char* path)
{
    int dot = -1;
    for (int i = FindFileName(path); path[i]; i++) {
        if (path[i] == '.')
            dot = i;
    }
    return dot;
}

CGString SiblingFileName(const char* basePath, const char* extension)
{
    CGString result(basePath);
    if (!extension || !*extension)
        return result;
    int dot = FindExtension(basePath);
    int keep = dot >= 0 ? dot : static_cast<int>(std::strlen(basePath));
    int extLength = static_cast<int>(std::strlen(extension));
    CGString out;
    char* p = out.SetLength(keep + extLength);
    if (!p)
        return result;
    std::memcpy(p, basePath, static_cast<size_t>(keep));
    std::memcpy(p + keep, extension, static_cast<size_t>(extLength));
    return out;
}

bool IsAcceptableFileName(const char* name)
{
    if (name == nullptr)
        return false;
    // Unsigned: a name may begin with a letter of the upper half of the code
    // page ("\xC4rger.wav"); only blanks and control characters are refused.
    unsigned char first = static_cast<unsigned char>(name[0]);
    return first != '<' && first != '(' && first >= 33;
}
