// What the Properties and About dialogs say about the sound and the room
// left for sound, as texts. The room figures are 64-bit: free disk space and
// memory pass 4 GB (and Kbytes counts pass 2^31) on any current machine.
#pragma once

#include <cstdint>

#include "lib/gstring.h"
#include "sound/wave_format.h"

struct PropertiesTexts {
    CGString fileName;          // or "(Untitled)"
    CGString format;            // or "Not Supported"
    CGString bytesPerSecond;
    CGString sizeBytes;
    CGString sizeSamples;
    CGString duration;
    CGString displayed;         // the shown range, or "None" without the waveform
    CGString selected;
    CGString clipboard;         // the clipboard sound's length, or "Empty"
    CGString memoryKbytes;      // the room in memory, in Kbytes and in play time
    CGString memorySeconds;
    CGString diskKbytes;        // the same for the current drive
    CGString diskSeconds;
};

// The texts for the document as it is. clipboardBlocks: the length of the
// sound the clipboard holds, in blocks of the document's format; negative
// when it holds none that can be read. The room figures count whole blocks
// of the document's format.
PropertiesTexts BuildPropertiesTexts(int64_t clipboardBlocks, uint64_t memoryBytes, uint64_t diskBytes);

// The room `memoryBytes` and `diskBytes` leave for sound of `format`, in
// whole blocks of it: Kbytes and play time of each.
struct RoomTexts {
    CGString memoryKbytes, memorySeconds, diskKbytes, diskSeconds;
};
RoomTexts BuildRoomTexts(const KvWaveFormat* format, uint64_t memoryBytes, uint64_t diskBytes);

// What the system can still give the program for sound; a megabyte when it
// will not say.
uint64_t SoundMemory();

// "%llu Kbytes" of whole kilobytes.
CGString FormatKbytes(uint64_t bytes);

// How long `bytes` play at `bytesPerSecond`: whole seconds, the decimal
// separator and two truncated digits, then " secs" ("0.00 secs" when the
// rate is unknown).
CGString FormatPlaySeconds(uint64_t bytes, uint32_t bytesPerSecond);
