#pragma once

#include <cstddef>
#include <cstdio>

#include "lib/ref_obj.h"

// Marks printf-like functions so the compiler checks their arguments. MinGW
// names the flavour its vsnprintf follows.
#ifndef KV_PRINTF_FORMAT
#if defined(__MINGW_PRINTF_FORMAT)
#define KV_PRINTF_FORMAT(fmtIndex, firstArg) \
    __attribute__((format(__MINGW_PRINTF_FORMAT, fmtIndex, firstArg)))
#elif defined(__GNUC__)
#define KV_PRINTF_FORMAT(fmtIndex, firstArg) \
    __attribute__((format(printf, fmtIndex, firstArg)))
#else
#define KV_PRINTF_FORMAT(fmtIndex, firstArg)
#endif
#endif

// The body of a non-empty CGString: this header, then the characters and
// their terminating zero, all in one malloc block. Only CGString makes them.
class CGStringData final : public CRefObjDef {
public:
    // A new body for `length` characters (indeterminate) and the terminator;
    // reference count 0, the caller takes the first reference. nullptr when
    // memory is short.
    static CGStringData* Create(int length);

    // Grows or shrinks a body that only the caller holds, keeping its first
    // min(old, new) characters and writing the terminator at `length`. The
    // body may move; its count starts again at 0. nullptr when memory is
    // short, and then the old body has been freed.
    static CGStringData* Resize(CGStringData* body, int length);

    // The body whose characters start at `chars`.
    static CGStringData* FromChars(char* chars) { return reinterpret_cast<CGStringData*>(chars) - 1; }

    char* Chars() { return reinterpret_cast<char*>(this + 1); }
    // Characters, not counting the terminator.
    int Length() const { return length; }

    // The block came from malloc; `delete` through any base pointer frees it
    // correctly.
    static void operator delete(void* block) noexcept;

private:
    explicit CGStringData(int chars) : length(chars) {}

    int length;
};

// A reference-counted, copy-on-write string of 8-bit characters.
//
// Copies share one body until one of them is changed. The pointer is never
// null: an empty string points at one static zero byte that has no body and
// is never written or released.
//
// When memory runs short the string is left empty (SetLength then returns
// nullptr); callers that must know check the result of SetLength or IsEmpty.
class CGString {
public:
    CGString() : chars(&emptyChar) {}
    CGString(const char* text) : chars(&emptyChar) { *this = text; }
    CGString(const CGString& other);
    ~CGString() { Empty(); }

    // Copies the text (nullptr or "" empties). The string's own pointer is
    // ignored; a pointer into its own characters is copied safely.
    CGString& operator=(const char* text);
    // Shares the other string's body.
    CGString& operator=(const CGString& other);

    int Length() const;
    bool IsEmpty() const { return Length() == 0; }

    // Drops this string's reference to its body; the string becomes empty.
    void Empty();

    // Makes the string exactly n characters long and returns its characters
    // for writing (n of them plus the terminator, which is set). Keeps the
    // first min(old, n) characters; those added are zero until written. A
    // shared body is copied first, so other strings keep their text.
    // On allocation failure, or for negative n, the string becomes empty and
    // the result is nullptr.
    char* SetLength(int n);

    // printf into a 4096-character buffer (longer results are cut to 4095
    // characters), then assigns it. The arguments may refer to this string.
    void Format(const char* fmt, ...) KV_PRINTF_FORMAT(2, 3);

    const char* c_str() const { return chars; }
    operator const char*() const { return chars; }

    // True when both strings point at the same characters (one body, or both
    // at the static empty byte).
    bool SharesBodyWith(const CGString& other) const { return chars == other.chars; }

    // ASCII case-insensitive comparison, for option words and file names:
    // <0, 0 or >0 like strcmp. nullptr compares as "".
    static int CompareNoCase(const char* a, const char* b);
    bool EqualsNoCase(const char* text) const { return CompareNoCase(chars, text) == 0; }

private:
    CGStringData* Body() const { return chars == &emptyChar ? nullptr : CGStringData::FromChars(chars); }

    static char emptyChar;

    char* chars;
};

// Copies text into a caller's buffer of `size` characters, cut to size - 1
// and terminated, as the platform's string and profile reads do. A null text
// copies as "". Returns the characters copied (0 without room).
int CopyString(char* out, int size, const char* text);
