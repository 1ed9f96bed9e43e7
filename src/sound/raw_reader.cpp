// Headerless sound: the whole file is sample blocks in the document's current
// format, so opening one gives a new sound of the format the old one had.
// Recognised by the ".RAW" extension only; a trailing partial block is dropped.
#include "base/error_message.h"
#include "sound/document.h"
#include "sound/raw_data.h"

int ReadRaw(CMMFile& file, int mode)
{
    Form format;
    if (!format.Set(TheDocument().format))
        return ERR_NO_MEMORY;
    int align = format.BlockAlign();
    int64_t size = file.FileSize();
    if (align <= 0)
        return ERR_UNSUPPORTED_FORMAT;
    if (size < 0)
        return ERR_FILE_SHORT;
    // A sound past the largest length cannot be held.
    if (size / align > INT32_MAX)
        return ERR_NO_MEMORY;
    if (file.Seek(0, SEEK_ORIGIN_SET) != 0)
        return ERR_FILE_SHORT;
    ReaderContext ctx(file, mode);
    return ReadRawData(ctx, format, static_cast<int32_t>(size / align), RAW_AS_IS);
}
