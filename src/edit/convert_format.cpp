// Convert Format: the whole sound into another format, as one undoable action.
//
// The sound is converted into a chunk list of its own, which replaces the
// document's only when the whole conversion succeeded; a failure or a cancel
// leaves the document exactly as it was. The undo record keeps the old format
// and the old samples, so undo and redo put back exact bytes even where the
// conversion lost detail (fewer bits, channels or samples); a sound too large
// for one record is converted back instead.
#include "edit/convert_format.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <new>

#include "base/app_options.h"
#include "base/error_message.h"
#include "base/host.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "edit/actions.h"
#include "edit/links.h"
#include "edit/open_document.h"
#include "edit/undo_history.h"
#include "lib/log.h"
#include "sound/acm_convert.h"
#include "sound/compression_manager.h"
#include "sound/converter.h"
#include "sound/document.h"
#include "sound/form.h"

namespace {

// Room the chooser gets beyond the largest format: a whole WAVEFORMATEX.
constexpr uint32_t CHOOSER_EXTRA_BYTES = 18;
constexpr int CHOOSER_NAME_CHARS = 256;

// The data of a Convert Format record: this header, the format record
// (formatBytes), then `blocks` whole blocks of that format.
struct SavedSound {
    uint32_t formatBytes;
    int32_t samples;        // exact sample count, -1 when not known
    int32_t blocks;         // -1: no samples saved (the step converts back)
};

// The largest record the undo history can account for, with room to spare.
constexpr uint64_t MAX_RECORD_BYTES = UINT32_MAX - ACTSTORE_OVERHEAD - 4096;

// The document as a record: its format, its exact sample count and, when
// they fit into a record and the memory is there, its samples.
bool SaveSound(ByteBlock& out, uint32_t& size)
{
    CKV_Document& doc = TheDocument();
    SavedSound head = {doc.format.Size(), ExactDocumentSamples(), doc.length};
    uint64_t prefix = sizeof head + head.formatBytes;
    uint64_t total = prefix + static_cast<uint64_t>(doc.length) * static_cast<uint32_t>(doc.format.BlockAlign());
    bool withSamples = total <= MAX_RECORD_BYTES && out.Allocate(static_cast<uint32_t>(total));
    if (!withSamples) {
        head.blocks = -1;
        total = prefix;
        if (!out.Allocate(static_cast<uint32_t>(total)))
            return false;
    }
    if (withSamples) {
        doc.SetChannel(255);
        if (doc.CopyOut(0, out.data.get() + prefix, doc.length) != doc.length) {
            head.blocks = -1;
            total = prefix;
        }
        doc.ReleaseCursor();
    }
    std::memcpy(out.data.get(), &head, sizeof head);
    std::memcpy(out.data.get() + sizeof head, doc.format.Record(), head.formatBytes);
    size = static_cast<uint32_t>(total);
    return true;
}

void MoveChunks(CGObList& from, CGObList& to)
{
    while (from.Head())
        to.Append(from.Head());
}

int32_t CountBlocks(const CGObList& chunks)
{
    int64_t n = 0;
    for (CGObListRec* rec = chunks.Head(); rec; rec = rec->Next())
        n += static_cast<CKV_BUFFER*>(rec)->count;
    return static_cast<int32_t>(std::min<int64_t>(n, INT32_MAX));
}

// Gives the document the fresh chunks and their format; the old chunks go
// into fresh. On failure the document keeps its old sound and format.
int SwapSound(CGObList& fresh, const Form& format, int32_t samples)
{
    CKV_Document& doc = TheDocument();
    doc.ReleaseCursor();
    doc.current = nullptr;
    doc.currentStart = -1;
    CGObList old;
    MoveChunks(doc.chunks, old);
    int32_t oldLength = doc.length;
    doc.length = CountBlocks(fresh);
    MoveChunks(fresh, doc.chunks);
    int rc = doc.SetFormat(format.Record());
    if (rc) {
        doc.ReleaseCursor();
        doc.current = nullptr;
        doc.currentStart = -1;
        MoveChunks(doc.chunks, fresh);
        MoveChunks(old, doc.chunks);
        doc.length = oldLength;
        return rc;
    }
    MoveChunks(old, fresh);
    SetDocumentSamples(samples);
    ShowWholeDocument();
    return 0;
}

// Opens the action's record with the sound as it is. False when refused.
bool PrepareRecord(int origin)
{
    CKV_Document& doc = TheDocument();
    TheEngineLink().Stop();
    TheSelectionLink().SetSelection(0, doc.length, origin);
    ByteBlock saved;
    uint32_t size = 0;
    if (!SaveSound(saved, size))
        return false;
    return ActPrepare(ACTION_CONVERT, ACTION_CONVERT, saved.data.get(), size) != 0;
}

void Complete(int rc)
{
    // Append mode: a refused or cancelled conversion inserted nothing that
    // completion would have to take out again.
    TheSelection().editMode = EDIT_APPEND;
    ActComplete(ACTION_CONVERT, ACT_PREPARED | (rc != 0 ? uint32_t{ACT_NO_RECORD} : uint32_t{ACT_LENGTH_CHANGED}));
}

// Converts every block of the document into `out`.
int ConvertSound(const Form& target, CGObList& out, int32_t& samples)
{
    CKV_Document& doc = TheDocument();
    samples = -1;
    TheSelection().editMode = EDIT_APPEND;
    int rc = OpenConverterToChunks(doc.format.Record(), target.Record(), &out);
    if (rc)
        return rc;
    SetConverterSourceSamples(ExactDocumentSamples());
    doc.SetChannel(255);
    int32_t pos = 0;
    while (rc == 0 && pos < doc.length) {
        uint8_t* run = nullptr;
        int32_t n = doc.GetRun(&run, pos, doc.length - pos);
        if (n <= 0) {
            rc = ERR_NO_MEMORY;
            break;
        }
        rc = ConvertChunk(run, n);
        pos += n;
    }
    doc.ReleaseCursor();
    if (rc == 0)
        rc = FinishConverter();
    samples = ConverterOutputSamples();
    CloseConverter();
    return rc;
}

int ConvertTo(const Form& target, int origin)
{
    if (!PrepareRecord(origin))
        return -1;
    CGObList converted;
    int32_t samples = -1;
    int rc = 0;
    if (TheDocument().length > 0)
        rc = ConvertSound(target, converted, samples);
    if (rc == 0)
        rc = SwapSound(converted, target, target.IsPcm() ? -1 : samples);
    Complete(rc);
    return rc;
}

// The saved blocks in chunks of the format's usual size.
bool ChunksFrom(const uint8_t* frames, int32_t blocks, const Form& format, CGObList& out)
{
    auto align = static_cast<uint32_t>(format.BlockAlign());
    int32_t perChunk = static_cast<int32_t>(std::max<uint32_t>(format.GetChunkBytes() / align, 1));
    for (int32_t pos = 0; pos < blocks;) {
        int32_t n = std::min(perChunk, blocks - pos);
        uint32_t bytes = static_cast<uint32_t>(n) * align;
        std::unique_ptr<uint8_t[]> memory(new (std::nothrow) uint8_t[bytes]);
        if (!memory)
            return false;
        std::memcpy(memory.get(), frames + static_cast<size_t>(pos) * align, bytes);
        auto* chunk = new (std::nothrow) CKV_BUFFER(n, std::move(memory), bytes);
        if (!chunk)
            return false;
        out.Append(chunk);
        pos += n;
    }
    return true;
}

}

int ConvertFormat(const KvWaveFormat* format)
{
    CKV_Document& doc = TheDocument();
    if (format == nullptr)
        return ERR_UNSUPPORTED_FORMAT;
    if (doc.format.Equals(format))
        return 0;
    Form target;
    if (!target.Set(format))
        return ERR_NO_MEMORY;
    if (!target.IsValid())
        return ERR_UNSUPPORTED_FORMAT;
    if (ActIsBusy())
        return -1;
    // A format out of reach is refused before anything is selected or recorded.
    if (doc.length > 0) {
        int rc = CheckConversion(doc.format, target);
        if (rc)
            return rc;
    }
    return ConvertTo(target, ORIGIN_COMMAND);
}

int RestoreConvertedFormat(const uint8_t* data, uint32_t size)
{
    SavedSound head;
    if (data == nullptr || size < sizeof head)
        return -1;
    std::memcpy(&head, data, sizeof head);
    const uint8_t* record = data + sizeof head;
    if (head.formatBytes < PCM_FORMAT_SIZE || head.formatBytes > size - sizeof head) {
        Log("Act:Convert BAD RECORD");
        return -1;
    }
    // Byte for byte: the format comes back exactly as it was.
    Form saved;
    if (!saved.SetSize(head.formatBytes))
        return ERR_NO_MEMORY;
    std::memcpy(saved.Record(), record, head.formatBytes);
    if (!saved.IsValid())
        return -1;
    if (head.blocks < 0)
        return ConvertTo(saved, ORIGIN_PROGRAM);

    const uint8_t* frames = record + head.formatBytes;
    uint64_t bytes = static_cast<uint64_t>(head.blocks) * static_cast<uint32_t>(saved.BlockAlign());
    if (bytes > size - sizeof head - head.formatBytes) {
        Log("Act:Convert BAD RECORD");
        return -1;
    }
    if (!PrepareRecord(ORIGIN_PROGRAM))
        return -1;
    CGObList restored;
    int rc = ChunksFrom(frames, head.blocks, saved, restored) ? 0 : ERR_NO_MEMORY;
    if (rc == 0)
        rc = SwapSound(restored, saved, head.samples);
    Complete(rc);
    return rc;
}

int ChooseFormatWithManager(void* owner)
{
    CompressionManager* manager = UsableCompressionManager();
    if (!TheAppOptions().useAcm || manager == nullptr)
        return 0;
    static char chosenName[CHOOSER_NAME_CHARS];
    chosenName[0] = '\0';
    uint32_t largest = manager->MaxFormatSize();
    if (largest < sizeof(KvWaveFormat) || largest > UINT16_MAX + sizeof(KvWaveFormat))
        return 0;
    uint32_t bytes = largest + CHOOSER_EXTRA_BYTES;
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[bytes]());
    if (!block)
        return 0;

    // A PCM record has no cbSize of its own: the zeroed block supplies 0.
    const CKV_Document& doc = TheDocument();
    auto* format = reinterpret_cast<KvWaveFormat*>(block.get());
    if (doc.format.Record())
        std::memcpy(format, doc.format.Record(), std::min(doc.format.Size(), largest));
    if (format->wFormatTag == WAVE_TAG_PCM)
        format->cbSize = 0;

    FormatChoice choice;
    choice.owner = owner;
    choice.format = format;
    choice.size = largest;
    choice.title = LoadAppString(STR_ACT_CONVERT_FORMAT);
    choice.name = chosenName;
    choice.nameSize = CHOOSER_NAME_CHARS;
    choice.convertibleFrom = doc.length > 0 ? doc.format.Record() : nullptr;
    int rc = manager->ChooseFormat(choice);
    if (rc == COMPRESSION_CANCELLED)
        return 2;
    if (rc != 0 || Form::RecordSize(format) > bytes) {
        Log("acmFORMATCHOOSE %d", rc);
        return 0;
    }
    int result = ConvertFormat(format);
    if (result > 0)
        TheHost().ShowError(result);
    return 1;
}
