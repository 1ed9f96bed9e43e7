// The sound on the clipboard: one memory block holding a complete RIFF WAVE
// file image. This side renders the document (or its selection) into a block
// the caller allocated, and reads an image back into the document as the
// Paste action, or only measures it.
//
// An image on the clipboard may come from any program, so nothing in it is
// trusted: the caller passes the size of the memory block itself, the image
// is taken to end at the smaller of that and what its RIFF header claims, and
// every chunk must lie inside it before anything changes.
#pragma once

#include <cstdint>

// Bytes of the image of the selection (selection true) or of the whole
// sound; 0 when there is no sound to put there, or it is too large for one
// image.
uint32_t ClipWaveSize(bool selection);

// Writes that image into `block` of exactly `size` bytes (ClipWaveSize).
// False, logged, when the writer failed.
bool RenderClipWave(bool selection, uint8_t* block, uint32_t size);

// What the headers of an image say, once they hold together.
struct ClipWaveInfo {
    uint32_t imageBytes = 0;        // the RIFF form with its header, within the block
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t blockAlign = 0;
    uint32_t dataBytes = 0;         // the "data" chunk, wholly inside the image
};

// Checks an image of `available` bytes: 0 and `info`, or 250 when it is no
// RIFF WAVE image or its format says no channels, no rate or no block size,
// or 251 when its RIFF form or one of its chunks passes the end of the block
// or "fmt " or "data" is missing.
int CheckClipWave(const uint8_t* data, uint64_t available, ClipWaveInfo* info);

// Reads an image of `available` bytes in READ_PASTE or READ_MEASURE mode
// (wave_file.h) after CheckClipWave: measuring sets only the paste length;
// pasting puts the sound into the selection by the edit mode as one undo
// step (behind the step that shortens a longer selection). 0, -1 (cancelled
// or nothing to do), or an error id: CheckClipWave's, 247 when the sound
// would not fit in the document or in memory, or the reader's. Whatever
// fails changes neither the sound nor the histories. The views are told
// unless memory ran out.
int ReadClipWave(const uint8_t* data, uint64_t available, int mode);
