// The choice of a file's reader: by the name's extension first, then by
// probing the readers in a fixed order.
#pragma once

#include "sound/file.h"

// Reads an opened sound file in a reader mode (open or paste): 0, -1 or an
// error id; 250 when no reader recognises the file.
int ReadSoundFile(CMMFile& file, int mode);
