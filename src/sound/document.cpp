// The document's identity: its name, its format and the replacing of the
// whole sound. The sample store lives in sample_store.cpp.
#include "sound/document.h"

#include "app/recent_files.h"

#include <algorithm>
#include <climits>

#include "app/app.h"
#include "app/error_message.h"
#include "app/string_ids.h"
#include "app/string_table.h"
#include "device/engine.h"
#include "edit/actions.h"
#include "lib/log.h"
#include "sound/wave_file.h"
#include "view/selection_ops.h"
#include "view/update_views.h"

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
    UpdateViews(UpdTitle);
}

const char* CKV_Document::GetTitleName() const
{
    return name.IsEmpty() ? LoadAppString(STR_UNTITLED) : name.c_str();
}

int CKV_Document::NewSound(const char* newName, const KvWaveFormat* record)
{
    ResetUndoHistory(ACTSTATE_REPLACING);
    Stop();
    SetSelection(0, 0, ORIGIN_PROGRAM);
    FreeAll();
    SetFileName(newName);
    int rc = SetFormat(record);
    readOnly = 0;
    changeCount = 0;
    // Back to ready also when the format was refused: the state changes nest,
    // and an unbalanced one would leave every later action unrecorded.
    ResetUndoHistory(ACTSTATE_READY);
    return rc;
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

    SetViewRange(0, length, ORIGIN_PROGRAM);
    RepaintRange(0, 0);
    UpdateViews(UpdAll);
    SetSelection(0, length, ORIGIN_PROGRAM);
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
