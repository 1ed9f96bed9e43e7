// The text form of the number lists the settings file keeps ("FORMAT",
// "DEVICE", "TONE", ...) and the sound's stored date: decimal numbers joined
// by ",". Reading is forgiving, as hand-edited settings lines need.
#pragma once

#include <cstdint>

enum {
    INT_LIST_CHARS = 12,        // room FormatIntList needs per number: "-2147483648,"
};

// Reads up to `limit` numbers from text. A number is a run of decimal digits;
// an "x" or "X" right after a "0" of the run stays in it ("0x10" is one
// number, worth 0). Every other character ends the run and is skipped, so
// "-8" reads as 8. Each run is worth its leading digits, wrapping in 32 bits.
// Returns how many numbers were stored in out (at most limit). Null text
// reads nothing.
int ParseIntList(int32_t* out, const char* text, int limit);

// Writes the count int32_t arguments with "%ld", joined by "," without blanks.
// out needs INT_LIST_CHARS characters per number. Returns the text's length.
int FormatIntList(char* out, int count, ...);

// The same for an array, cut to fit `size` characters with its terminator.
int FormatIntArray(char* out, int size, const int32_t* values, int count);
