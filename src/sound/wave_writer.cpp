#include "base/error_message.h"
#include "base/file_names.h"
#include "lib/log.h"
#include "sound/converter.h"
#include "sound/document.h"
#include "sound/object_options.h"
#include "sound/wave_file.h"

namespace {

const uint32_t FOURCC_WAVE = MakeFourCC('W', 'A', 'V', 'E');
const uint32_t FOURCC_INFO = MakeFourCC('I', 'N', 'F', 'O');

// The clipboard format number of a device-independent bitmap, in front of the
// icon in a DISP chunk.
const uint32_t DISP_DIB = 8;

CGString CreationDateText(const ObjectDate& d)
{
    CGString text;
    text.Format("%04d-%02d-%02d %02d:%02d:%02d %d", d.year, d.month, d.day, d.hour, d.minute,
        d.second, d.dayOfWeek);
    return text;
}

bool WriteChunk(CMMFile& file, uint32_t id, const void* data, uint32_t bytes)
{
    ChunkInfo ck;
    ck.ckid = id;
    return file.CreateChunk(ck, 0) && file.Write(data, static_cast<int32_t>(bytes))
        && file.Ascend(ck);
}

bool WriteDescription(CMMFile& file, const ObjectOptions& options)
{
    ChunkInfo list;
    list.fccType = FOURCC_INFO;
    if (!file.CreateChunk(list, KVIO_CREATELIST))
        return false;
    CGString date = CreationDateText(options.date);
    uint32_t flags = options.flags;
    return WriteChunk(file, MakeFourCC('I', 'S', 'B', 'J'), options.label.c_str(),
               static_cast<uint32_t>(options.label.Length()) + 1)
        && WriteChunk(file, MakeFourCC('I', 'C', 'R', 'D'), date.c_str(),
            static_cast<uint32_t>(date.Length()) + 1)
        && WriteChunk(file, MakeFourCC('o', 'd', 's', 'p'), &flags, 4) && file.Ascend(list);
}

bool WriteIcon(CMMFile& file, const ObjectOptions& options)
{
    ChunkInfo ck;
    ck.ckid = MakeFourCC('D', 'I', 'S', 'P');
    uint32_t kind = DISP_DIB;
    return file.CreateChunk(ck, 0) && file.Write(&kind, 4)
        && file.Write(options.icon.data(), static_cast<int32_t>(options.icon.size()))
        && file.Ascend(ck);
}

bool WriteData(CKV_Document& doc, int32_t start, int32_t count)
{
    ChunkInfo ck;
    ck.ckid = MakeFourCC('d', 'a', 't', 'a');
    if (!doc.CreateChunk(ck, 0))
        return false;
    bool ok = true;
    int align = doc.format.BlockAlign();
    doc.SetChannel(255);
    int32_t pos = start;
    int32_t end = start + count;
    while (ok && pos < end) {
        uint8_t* run = nullptr;
        int32_t blocks = doc.GetRun(&run, pos, end - pos);
        ok = blocks > 0 && doc.Write(run, blocks * align);
        pos += blocks;
    }
    doc.ReleaseCursor();
    return ok && doc.Ascend(ck);
}

uint32_t PaddedChunk(uint32_t bytes)
{
    return 8 + bytes + (bytes & 1);
}

}

uint32_t ObjectDescriptionSize()
{
    const ObjectOptions& options = TheObjectOptions();
    uint32_t size = 0;
    if (options.flags & OBJ_DESCRIPTION) {
        CGString date = CreationDateText(options.date);
        size += 12 + PaddedChunk(static_cast<uint32_t>(options.label.Length()) + 1)
            + PaddedChunk(static_cast<uint32_t>(date.Length()) + 1) + PaddedChunk(4);
    }
    if ((options.flags & OBJ_STORE_ICON) && !options.icon.empty())
        size += PaddedChunk(4 + static_cast<uint32_t>(options.icon.size()));
    return size;
}

bool WriteRiff(int flags)
{
    CKV_Document& doc = TheDocument();
    const Selection& sel = TheSelection();
    const ObjectOptions& options = TheObjectOptions();
    ChunkInfo riff;
    riff.fccType = FOURCC_WAVE;
    if (!doc.CreateChunk(riff, KVIO_CREATERIFF) || !doc.format.WriteFmt(doc))
        return false;
    if (flags & WAVE_WRITE_EXTRAS) {
        if (doc.format.Record()->wFormatTag != WAVE_TAG_PCM) {
            uint32_t samples = static_cast<uint32_t>(DocumentSamples());
            if (!WriteChunk(doc, MakeFourCC('f', 'a', 'c', 't'), &samples, 4))
                return false;
        }
        if ((options.flags & OBJ_DESCRIPTION) && !WriteDescription(doc, options))
            return false;
        if ((options.flags & OBJ_STORE_ICON) && !options.icon.empty() && !WriteIcon(doc, options))
            return false;
    }
    int32_t start = 0, count = 0;
    if (flags & WAVE_WRITE_SELECTION) {
        start = sel.selStart;
        count = sel.selLength;
    } else if (flags & WAVE_WRITE_ALL) {
        count = doc.length;
    }
    return WriteData(doc, start, count) && doc.Ascend(riff);
}

int SaveWave(const char* name, int flags, MemoryFileInfo* memory)
{
    CKV_Document& doc = TheDocument();
    if (!memory && !IsAcceptableFileName(name))
        return ERR_BAD_FILE_NAME;
    // The document is the file object it is written through; its own name is
    // kept while it writes under another. The target is copied first: the
    // name given may be the document's own.
    CGString documentName(doc.Name());
    CGString target(memory ? "" : name);
    bool ok = memory ? doc.Open(nullptr, KVIO_WRITE | KVIO_ALLOCBUF, memory) : doc.CreateBeside(target.c_str());
    CGString temporary(ok && !memory ? doc.Name() : "");
    if (ok) {
        ok = WriteRiff(flags);
        if (!ok)
            Log("Doc:WriteWAV FAIL");
        doc.Close();
    }
    doc.SetName(documentName.c_str());
    if (memory)
        return ok ? 0 : ERR_CANT_SAVE;
    // The old file is replaced only by a complete new one; a failed save
    // leaves the old file as it was and no temporary file beside it.
    if (ok && TheFileSystem().Replace(temporary.c_str(), target.c_str()))
        return 0;
    if (!temporary.IsEmpty())
        TheFileSystem().Remove(temporary.c_str());
    return ERR_CANT_SAVE;
}
