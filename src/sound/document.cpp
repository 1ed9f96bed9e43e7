// The document's identity: its name and its format. The sample store lives in
// sample_store.cpp; replacing the whole sound is an editing operation
// (edit/open_document.h).
#include "sound/document.h"

#include <algorithm>
#include <climits>

#include "base/error_message.h"
#include "base/file_names.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "lib/log.h"
#include "sound/wave_file.h"

namespace {

Selection theSelection;

}

Selection& TheSelection()
{
    return theSelection;
}

void ResetSelection()
{
    theSelection = Selection();
}

CKV_Document& TheDocument()
{
    static CKV_Document document;
    return document;
}

CKV_Document::CKV_Document() = default;

// The chunk list deletes the chunks; nothing may stay locked by the cursor.
CKV_Document::~CKV_Document()
{
    ReleaseCursor();
    current = nullptr;
}

void CKV_Document::SetFileName(const char* newName)
{
    // Straight into the file object's name: the document is not open as a
    // file here, and an invalid name must empty it.
    name = IsAcceptableFileName(newName) ? newName : nullptr;
}

const char* CKV_Document::GetTitleName() const
{
    return name.IsEmpty() ? LoadAppString(STR_UNTITLED) : name.c_str();
}

int CKV_Document::SetFormat(const KvWaveFormat* record)
{
    ReleaseCursor();
    if (record) {
        // Checked on a copy: the record may be our own, and a refused one
        // must leave the document's format as it was.
        Form candidate;
        if (!candidate.Set(record))
            return ERR_NO_MEMORY;
        if (!candidate.IsValid()) {
            Log("Doc:SetFormat(%u) UNSUPPORTED", static_cast<unsigned>(record->wFormatTag));
            return ERR_UNSUPPORTED_FORMAT;
        }
        if (!format.Set(candidate))
            return ERR_NO_MEMORY;
    } else {
        format.SetToDefault();
    }
    uint32_t bytes = format.GetChunkBytes();
    if (bytes == 0) {
        Log("Doc:SetFormat NO BUFFER SIZE");
        return ERR_INTERNAL;
    }
    bufferSamples = static_cast<int32_t>(std::min<uint32_t>(bytes / format.BlockAlign(), INT32_MAX));
    // A channel of the old format may not exist in the new one.
    channel = 1;
    return 0;
}

uint32_t CKV_Document::GetSaveSize(int flags) const
{
    // 31 covers the RIFF, "fmt " and "data" headers (28 bytes) and the pad
    // bytes; 13 the "fact" chunk and its pad. Sizes past 4 GiB cannot be written at all,
    // so they report the largest value rather than a wrapped small one.
    int32_t blocks = (flags & WAVE_WRITE_SELECTION) ? TheSelection().selLength : length;
    uint64_t size = static_cast<uint64_t>(format.BlockAlign()) * static_cast<uint64_t>(std::max(blocks, 0))
        + format.Size() + 31;
    if (flags & WAVE_WRITE_EXTRAS)
        size += static_cast<uint64_t>(ObjectDescriptionSize()) + 13;
    return static_cast<uint32_t>(std::min<uint64_t>(size, UINT32_MAX));
}
