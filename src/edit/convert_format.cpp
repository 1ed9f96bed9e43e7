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

// The data of a Convert Format record: this header and the format record
// (formatBytes). The `blocks` whole blocks of that format are the memory of
// the chunks the conversion replaced, which the record adopts instead of
// copying them (its saved chunks, in order).
struct SavedSound {
    uint32_t formatBytes;
    int32_t samples;        // exact sample count, -1 when not known
    int32_t blocks;         // -1: no samples saved (the step converts back)
};

// The largest record the undo history can account for, with room to spare.
constexpr uint64_t MAX_RECORD_BYTES = UINT32_MAX - ACTSTORE_OVERHEAD - 4096;

// The document's format and exact sample count as the start of a record,
// with no samples yet.
bool SaveFormat(ByteBlock& out, uint32_t& size)
{
    CKV_Document& doc = TheDocument();
    SavedSound head = {doc.format.Size(), ExactDocumentSamples(), -1};
    size = static_cast<uint32_t>(sizeof head + head.formatBytes);
    if (!out.Allocate(size))
        return false;
    std::memcpy(out.data.get(), &head, sizeof head);
    std::memcpy(out.data.get() + sizeof head, doc.format.Record(), head.formatBytes);
    return true;
}

// Hands the memory of the chunks a conversion replaced (blocks of `align`
// bytes) to the open record, whose samples they become. Without room in the
// record, or while someone holds a chunk locked, the record keeps no samples
// and its step converts back.
void KeepReplacedChunks(CGObList& old, uint32_t align)
{
    CKV_ACTSTORE* rec = ActOpenRecordToFill();
    if (!rec || !rec->data || rec->size < sizeof(SavedSound))
        return;
    int32_t count = 0;
    int64_t blocks = 0;
    uint64_t bytes = 0;
    for (CGObListRec* r = old.Head(); r; r = r->Next()) {
        const auto* chunk = static_cast<CKV_BUFFER*>(r);
        if (chunk->lockCount > 0 || chunk->count < 1
            || (chunk->memory && chunk->memoryBytes < static_cast<uint64_t>(chunk->count) * align))
            return;
        count++;
        blocks += chunk->count;
        bytes += chunk->memory ? chunk->memoryBytes : 0;
    }
    if (blocks > INT32_MAX || bytes > MAX_RECORD_BYTES - rec->size || (count > 0 && !rec->ReserveChunks(count)))
        return;
    int32_t first = 0;
    for (CGObListRec* r = old.Head(); r; r = r->Next()) {
        auto* chunk = static_cast<CKV_BUFFER*>(r);
        uint32_t held = chunk->memory ? chunk->memoryBytes : 0;
        if (!rec->AdoptChunk(first, chunk->count, chunk->memory, held)) {
            Log("Act:Convert keep chunks FAIL");
            return;                     // blocks stays -1: what was adopted is never read
        }
        chunk->memoryBytes = 0;
        first += chunk->count;
    }
    SavedSound head;
    std::memcpy(&head, rec->data.get(), sizeof head);
    head.blocks = first;
    std::memcpy(rec->data.get(), &head, sizeof head);
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
    if (!SaveFormat(saved, size))
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
    auto oldAlign = static_cast<uint32_t>(TheDocument().format.BlockAlign());
    CGObList converted;
    int32_t samples = -1;
    int rc = 0;
    if (TheDocument().length > 0)
        rc = ConvertSound(target, converted, samples);
    if (rc == 0)
        rc = SwapSound(converted, target, target.IsPcm() ? -1 : samples);
    if (rc == 0)
        KeepReplacedChunks(converted, oldAlign);
    Complete(rc);
    return rc;
}

// The record's saved chunks make up `blocks` blocks of `align` bytes, in order.
bool SavedChunksFit(const CKV_ACTSTORE& rec, int32_t blocks, uint32_t align)
{
    int64_t end = 0;
    for (int32_t i = 0; i < rec.chunkCount; i++) {
        const SavedChunk& saved = rec.chunks[i];
        if (saved.returned || saved.first != end || saved.count < 1
            || (saved.memory && saved.bytes < static_cast<uint64_t>(saved.count) * align))
            return false;
        end += saved.count;
    }
    return end == blocks;
}

// Chunks for the record's saved chunks, each given its memory; false (the
// record as it was) when out of memory.
bool ChunksFromRecord(CKV_ACTSTORE& rec, CGObList& out)
{
    // Every chunk first, so that nothing leaves the record unless all are there.
    for (int32_t i = 0; i < rec.chunkCount; i++) {
        auto* chunk = new (std::nothrow) CKV_BUFFER(rec.chunks[i].count, nullptr, 0);
        if (!chunk)
            return false;
        out.Append(chunk);
    }
    int32_t i = 0;
    for (CGObListRec* r = out.Head(); r; r = r->Next(), i++) {
        auto* chunk = static_cast<CKV_BUFFER*>(r);
        rec.TakeChunkMemory(i, chunk->memory, chunk->memoryBytes);
        if (!chunk->memory)
            chunk->memoryBytes = 0;
    }
    return true;
}

// Gives the memory ChunksFromRecord took back to the record.
void ReturnToRecord(CGObList& chunks, CKV_ACTSTORE& rec)
{
    int32_t i = 0;
    for (CGObListRec* r = chunks.Head(); r; r = r->Next(), i++) {
        auto* chunk = static_cast<CKV_BUFFER*>(r);
        rec.PutChunkBack(i, chunk->memory, chunk->memoryBytes);
        chunk->memoryBytes = 0;
    }
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

int RestoreConvertedFormat(CKV_ACTSTORE& rec)
{
    const uint8_t* data = rec.data.get();
    uint32_t size = rec.size;
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

    if (!SavedChunksFit(rec, head.blocks, static_cast<uint32_t>(saved.BlockAlign()))) {
        Log("Act:Convert BAD RECORD");
        return -1;
    }
    auto oldAlign = static_cast<uint32_t>(TheDocument().format.BlockAlign());
    if (!PrepareRecord(ORIGIN_PROGRAM))
        return -1;
    CGObList restored;
    int rc = ChunksFromRecord(rec, restored) ? 0 : ERR_NO_MEMORY;
    if (rc == 0) {
        rc = SwapSound(restored, saved, head.samples);
        if (rc == 0)
            KeepReplacedChunks(restored, oldAlign);
        else
            ReturnToRecord(restored, rec);
    }
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
