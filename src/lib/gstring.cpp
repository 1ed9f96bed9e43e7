#include "lib/gstring.h"

#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>

namespace {

size_t BlockSize(int length)
{
    return sizeof(CGStringData) + static_cast<size_t>(length) + 1;
}

// Drops one reference; the last one destroys the body.
void ReleaseBody(CGStringData* body)
{
    if (body->Release() == 0)
        delete body;
}

} // namespace

char CGString::emptyChar = '\0';

CGStringData* CGStringData::Create(int length)
{
    void* block = std::malloc(BlockSize(length));
    if (!block)
        return nullptr;
    CGStringData* body = ::new (block) CGStringData(length);
    body->Chars()[length] = '\0';
    return body;
}

CGStringData* CGStringData::Resize(CGStringData* body, int length)
{
    // The header has a virtual table, so it must not be moved as bytes while
    // it lives: end it, let realloc move the block, start a new one in place.
    body->~CGStringData();
    void* block = std::realloc(static_cast<void*>(body), BlockSize(length));
    if (!block) {
        std::free(static_cast<void*>(body));
        return nullptr;
    }
    CGStringData* resized = ::new (block) CGStringData(length);
    resized->Chars()[length] = '\0';
    return resized;
}

void CGStringData::operator delete(void* block) noexcept
{
    std::free(block);
}

CGString::CGString(const CGString& other) : chars(other.chars)
{
    if (CGStringData* body = Body())
        body->AddRef();
}

CGString& CGString::operator=(const char* text)
{
    if (text == chars)
        return *this;
    if (!text || !*text) {
        Empty();
        return *this;
    }

    // Resizing may move or free our own characters; copy a piece of them
    // through a second string first.
    std::less_equal<const char*> notAfter;
    if (notAfter(chars, text) && notAfter(text, chars + Length())) {
        CGString copy(text);
        return *this = copy;
    }

    const size_t length = std::strlen(text);
    if (length > static_cast<size_t>(INT_MAX)) {
        Empty();
        return *this;
    }
    if (char* buffer = SetLength(static_cast<int>(length)))
        std::memcpy(buffer, text, length);
    return *this;
}

CGString& CGString::operator=(const CGString& other)
{
    if (other.chars == chars)
        return *this;
    if (CGStringData* body = other.Body())
        body->AddRef();
    Empty();
    chars = other.chars;
    return *this;
}

int CGString::Length() const
{
    CGStringData* body = Body();
    return body ? body->Length() : 0;
}

void CGString::Empty()
{
    CGStringData* body = Body();
    chars = &emptyChar;
    if (body)
        ReleaseBody(body);
}

char* CGString::SetLength(int n)
{
    if (n < 0) {
        Empty();
        return nullptr;
    }

    CGStringData* old = Body();
    const int oldLength = Length();
    CGStringData* body;
    if (!old) {
        body = CGStringData::Create(n);
    } else if (old->RefCount() == 1) {
        // Ours alone: resize the block. Resize frees it even when it fails.
        chars = &emptyChar;
        body = CGStringData::Resize(old, n);
    } else {
        body = CGStringData::Create(n);
        if (body)
            std::memcpy(body->Chars(), chars, static_cast<size_t>(oldLength < n ? oldLength : n));
        Empty();                        // the other strings keep the old body
    }
    if (!body)
        return nullptr;                 // the string is empty now

    body->AddRef();
    if (n > oldLength)
        std::memset(body->Chars() + oldLength, 0, static_cast<size_t>(n - oldLength));
    chars = body->Chars();
    return chars;
}

void CGString::Format(const char* fmt, ...)
{
    char buffer[4096];
    va_list args;
    va_start(args, fmt);
    const int written = std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    if (written < 0)
        buffer[0] = '\0';
    *this = buffer;
}

int CGString::CompareNoCase(const char* a, const char* b)
{
    if (!a)
        a = "";
    if (!b)
        b = "";
    for (;; ++a, ++b) {
        int ca = static_cast<unsigned char>(*a);
        int cb = static_cast<unsigned char>(*b);
        if (ca >= 'A' && ca <= 'Z')
            ca += 'a' - 'A';
        if (cb >= 'A' && cb <= 'Z')
            cb += 'a' - 'A';
        if (ca != cb || ca == 0)
            return ca - cb;
    }
}

int CopyString(char* out, int size, const char* text)
{
    if (out == nullptr || size < 1)
        return 0;
    size_t n = text ? std::strlen(text) : 0;
    if (n > static_cast<size_t>(size - 1))
        n = static_cast<size_t>(size - 1);
    if (n)
        std::memcpy(out, text, n);
    out[n] = '\0';
    return static_cast<int>(n);
}
