#include "base/int_list.h"

#include <cstdarg>
#include <cstdio>

#include "lib/gstring.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int32_t LeadingNumber(const char* token)
{
    uint32_t value = 0;
    for (; IsDigit(*token); ++token)
        value = value * 10u + static_cast<uint32_t>(*token - '0');
    return static_cast<int32_t>(value);
}

}

int ParseIntList(int32_t* out, const char* text, int limit)
{
    if (text == nullptr || out == nullptr || limit <= 0)
        return 0;
    int count = 0;
    const char* token = nullptr;    // start of the current run, or null between runs
    for (const char* p = text;; ++p) {
        char c = *p;
        bool inToken = IsDigit(c)
            || (token != nullptr && (c == 'x' || c == 'X') && p[-1] == '0');
        if (inToken) {
            if (token == nullptr)
                token = p;
            continue;
        }
        if (token != nullptr) {
            out[count++] = LeadingNumber(token);
            token = nullptr;
            if (count == limit)
                break;
        }
        if (c == '\0')
            break;
    }
    return count;
}

int FormatIntArray(char* out, int size, const int32_t* values, int count)
{
    if (out == nullptr || size < 1)
        return 0;
    out[0] = '\0';
    int length = 0;
    for (int i = 0; i < count; ++i) {
        char number[INT_LIST_CHARS + 1];
        std::snprintf(number, sizeof number, i == 0 ? "%ld" : ",%ld", static_cast<long>(values[i]));
        length += CopyString(out + length, size - length, number);
    }
    return length;
}

int FormatIntList(char* out, int count, ...)
{
    if (out == nullptr)
        return 0;
    out[0] = '\0';
    int length = 0;
    va_list args;
    va_start(args, count);
    for (int i = 0; i < count; ++i) {
        long value = va_arg(args, int32_t);
        length += std::snprintf(out + length, INT_LIST_CHARS + 1, i == 0 ? "%ld" : ",%ld", value);
    }
    va_end(args);
    return length;
}
