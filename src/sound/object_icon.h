// Icons read from files: a BMP file, or the DISP chunk of a WAVE file (the
// clipboard format number of a device-independent bitmap, then the bitmap).
// Everything read is checked by the bitmap checks before it is kept.
#pragma once

#include <cstdint>
#include <vector>

class CMMFile;
struct ChunkInfo;

// The DISP chunk inside the opened RIFF form `riff` as a packed DIB. False
// (icon untouched) when there is none or it is not a bitmap the checks accept.
bool ReadDispIcon(CMMFile& file, const ChunkInfo& riff, std::vector<uint8_t>& icon);

// The named file as an icon: a BMP file, else, when `lookIntoWave`, the DISP
// chunk of a WAVE file. False (icon untouched) for anything else.
bool ReadIconFile(const char* name, bool lookIntoWave, std::vector<uint8_t>& icon);
