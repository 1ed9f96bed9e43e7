// The sound's picture: its icon with a line of text below it (label, date,
// time, as the object options ask), drawn on any surface and offered on the
// clipboard as a metafile picture and, the icon alone, as a bitmap.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "lib/image_bitmap_win.h"
#include "sound/object_options.h"

// The program's default icon: the BMP file beside the program (same name,
// ".BMP"), else the DISP chunk of that file when it is a WAVE file, else the
// bitmap built into the program. False only when even that fails.
bool LoadDefaultIcon(CImageBitmap& out);

// The icon the picture shows: the record's own, else the default.
bool LoadPictureIcon(const ObjectOptions& options, CImageBitmap& out);

// A packed DIB of the bitmap, as the object options keep icons; false when
// the bitmap cannot be read or is too large for an icon.
bool IconDibOf(const CImageBitmap& bitmap, std::vector<uint8_t>& icon);

// The picture's size in pixels: the icon, and the text (in the variable-pitch
// system font) below it when there is any.
SIZE ObjectPictureSize(const ObjectOptions& options);

// Draws the picture at (0, 0) of `dc` in the anisotropic mapping mode, the
// window extent being the picture's size. With `sizeOut` the size goes
// there and the viewport is left alone (a metafile is scaled by whoever
// plays it); without, the viewport extent is the size too, so one logical
// unit is one pixel. The mapping mode is put back. False without an icon.
bool DrawObjectPicture(const ObjectOptions& options, HDC dc, SIZE* sizeOut);

// A movable, shareable block holding a METAFILEPICT (anisotropic, extents
// the picture's size × 22 in hundredths of a millimetre) for CF_METAFILEPICT,
// or null. FreeMetafilePicture releases one that was not handed on.
HGLOBAL MakeMetafilePicture(const ObjectOptions& options);
void FreeMetafilePicture(HGLOBAL block);

// A bitmap of the screen holding a copy of the picture's icon, for
// CF_BITMAP; null when there is none. The caller owns it.
HBITMAP MakeIconBitmap(const ObjectOptions& options);
