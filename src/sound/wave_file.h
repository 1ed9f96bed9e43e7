// RIFF WAVE, the program's native format: the only one it writes, the format
// of its clipboard data, and the first one it tries when reading.
#pragma once

#include <cstdint>

#include "sound/file.h"

class Form;

// What WriteRiff puts in the file.
enum : int {
    WAVE_WRITE_SELECTION = 1,   // data = the selection
    WAVE_WRITE_EXTRAS = 2,      // "fact" for compressed formats and the description chunks
    WAVE_WRITE_ALL = 4,         // data = the whole sound (when the selection flag is clear)
    WAVE_WRITE_FILE = WAVE_WRITE_EXTRAS | WAVE_WRITE_ALL,   // Save and Save As
};

// How a read file meets the document.
enum : int {
    READ_OPEN = 0,      // the file replaces the document
    READ_PASTE = 1,     // the file's sound is pasted at the selection
    READ_MEASURE = 2,   // only pendingLength is set
};

// Writes the document to a file (through a temporary file beside it, which
// replaces the target only when complete) or, with memory, into the caller's
// block. 0, 248 (bad name) or 252; after 252 the target is as it was (also
// when it may not be replaced: read-only, or held open by another program)
// and no temporary file is left.
int SaveWave(const char* name, int flags, MemoryFileInfo* memory);

// Writes the RIFF form into the document's open file.
bool WriteRiff(int flags);

// Opens a file (or the caller's memory block) and reads it: 0, -1 (cancelled)
// or an error id (249 when it cannot be opened).
int LoadWave(const char* name, int mode, MemoryFileInfo* memory);

// Reads an opened RIFF file: 0, -1 or an error id; 250 when it is not WAVE.
int ReadWave(CMMFile& file, int mode);

// Reads the n document blocks prepared at the selection start. Converting,
// it reads at most fileBlocks (-1: as many as last n document blocks) and
// decodes at most fileSamples (-1: all the blocks hold).
int ReadSoundData(CMMFile& file, int mode, int32_t n, const Form& fileFormat, int32_t fileBlocks = -1,
                  int32_t fileSamples = -1);

// Bytes of the description chunks (the INFO list and the icon), for GetSaveSize.
uint32_t ObjectDescriptionSize();
