#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "base/error_message.h"
#include "base/int_list.h"
#include "sound/acm_convert.h"
#include "sound/converter.h"
#include "sound/document.h"
#include "sound/object_icon.h"
#include "sound/object_options.h"
#include "sound/sample_actions.h"
#include "sound/wave_file.h"

namespace {

const uint32_t FOURCC_WAVE = MakeFourCC('W', 'A', 'V', 'E');

// Description texts larger than this are not descriptions.
const uint32_t MAX_DESCRIPTION_BYTES = MAX_ICON_BYTES;

// Bytes of a chunk that the file really holds.
uint32_t BytesPresent(CMMFile& file, const ChunkInfo& ck)
{
    int64_t size = file.FileSize();
    if (size < 0 || ck.dwDataOffset >= size)
        return 0;
    return static_cast<uint32_t>(std::min<int64_t>(ck.cksize, size - ck.dwDataOffset));
}

bool ReadTextChunk(CMMFile& file, const ChunkInfo& parent, uint32_t id, CGString& text)
{
    ChunkInfo ck;
    ck.ckid = id;
    if (!file.Descend(ck, &parent, KVIO_FINDCHUNK))
        return false;
    if (ck.cksize > MAX_DESCRIPTION_BYTES || BytesPresent(file, ck) < ck.cksize)
        return false;
    bool ok = file.ReadString(text, static_cast<int32_t>(ck.cksize)) >= 0;
    return ok && file.Ascend(ck);
}

// The description chunks of a WAVE file become the object options. A missing
// chunk or a short read ends the reading; what was read so far stays.
void ReadObjectDescription(CMMFile& file, const ChunkInfo& riff)
{
    ObjectOptions& options = TheObjectOptions();
    options.flags &= ~(OBJ_DESCRIPTION | OBJ_STORE_ICON);
    options.label = "";
    options.icon.clear();

    ChunkInfo list;
    list.fccType = MakeFourCC('I', 'N', 'F', 'O');
    if (!file.Descend(list, &riff, KVIO_FINDLIST))
        return;
    options.flags |= OBJ_DESCRIPTION;
    bool complete = false;
    CGString label, date;
    if (ReadTextChunk(file, list, MakeFourCC('I', 'S', 'B', 'J'), label)) {
        options.label = label;
        if (ReadTextChunk(file, list, MakeFourCC('I', 'C', 'R', 'D'), date)) {
            int32_t v[7] = {};
            int count = ParseIntList(v, date.c_str(), 7);
            ObjectDate& d = options.date;
            if (count > 0) d.year = static_cast<uint16_t>(v[0]);
            if (count > 1) d.month = static_cast<uint8_t>(v[1]);
            if (count > 2) d.day = static_cast<uint8_t>(v[2]);
            if (count > 3) d.hour = static_cast<uint8_t>(v[3]);
            if (count > 4) d.minute = static_cast<uint8_t>(v[4]);
            if (count > 5) d.second = static_cast<uint8_t>(v[5]);
            if (count > 6) d.dayOfWeek = static_cast<uint8_t>(v[6]);
            ChunkInfo ck;
            ck.ckid = MakeFourCC('o', 'd', 's', 'p');
            uint32_t flags = 0;
            if (file.Descend(ck, &list, KVIO_FINDCHUNK) && ck.cksize >= 4
                && file.Read(&flags, 4) == 4) {
                options.flags = flags;
                complete = file.Ascend(ck);
            }
        }
    }
    if (!complete || !file.Ascend(list))
        return;

    ReadDispIcon(file, riff, options.icon);
    if (!options.icon.empty())
        options.flags |= OBJ_STORE_ICON;
}

// The sample count of a compressed file's "fact" chunk, -1 when there is
// none. The file is left where it was.
int32_t ReadFactSamples(CMMFile& file, const ChunkInfo& riff)
{
    int64_t pos = file.GetPosition();
    ChunkInfo ck;
    ck.ckid = MakeFourCC('f', 'a', 'c', 't');
    uint32_t samples = 0;
    bool found = file.Descend(ck, &riff, KVIO_FINDCHUNK) && ck.cksize >= 4 && file.Read(&samples, 4) == 4;
    file.Seek(pos, SEEK_ORIGIN_SET);
    return found && samples <= INT32_MAX ? static_cast<int32_t>(samples) : -1;
}

}

int ReadWave(CMMFile& file, int mode)
{
    CKV_Document& doc = TheDocument();
    Selection& sel = TheSelection();
    ChunkInfo riff;
    riff.fccType = FOURCC_WAVE;
    if (!file.Descend(riff, nullptr, KVIO_FINDRIFF))
        return ERR_NOT_SOUND_FILE;
    Form fileFormat;
    int rc = fileFormat.ReadFmt(file, &riff);
    if (rc)
        return rc;
    // The description chunks are looked for from here on, once the file
    // has been taken.
    int64_t afterFormat = file.GetPosition();
    // Refused before anything changes: a format the document cannot hold,
    // or, pasting, one the converter cannot read.
    if (mode == READ_OPEN && !fileFormat.IsValid())
        return ERR_UNSUPPORTED_FORMAT;
    if (mode != READ_OPEN && (!fileFormat.IsValid() || !doc.format.IsValid()))
        return ERR_UNSUPPORTED_COMPRESSION;

    // Codecs decode whole blocks; "fact" says how many samples are sound.
    int32_t fileSamples = fileFormat.IsPcm() ? -1 : ReadFactSamples(file, riff);
    ChunkInfo data;
    data.ckid = MakeFourCC('d', 'a', 't', 'a');
    if (!file.Descend(data, &riff, KVIO_FINDCHUNK))
        return ERR_FILE_SHORT;
    // A "data" chunk may claim more than the file holds: only the whole blocks
    // really there are prepared and read, and the file is still reported short.
    uint32_t present = BytesPresent(file, data);
    int shortResult = present < data.cksize ? ERR_FILE_SHORT : 0;
    int32_t blocks = static_cast<int32_t>(
        std::min<uint32_t>(present / static_cast<uint32_t>(fileFormat.BlockAlign()), INT32_MAX));
    // A file cut short keeps its header's count: no more samples are sound
    // than the blocks present decode to.
    if (fileSamples >= 0)
        fileSamples = static_cast<int32_t>(std::min<int64_t>(
            fileSamples, int64_t{blocks} * SamplesPerBlock(fileFormat.Record())));
    sel.pendingLength = mode == READ_OPEN ? blocks : ConvertedLength(fileFormat, blocks, doc.format, fileSamples);
    if (mode == READ_MEASURE)
        return 0;
    // Refused before any room is made for sound that cannot come in.
    if (mode == READ_PASTE && !doc.format.Equals(fileFormat)) {
        rc = CheckConversion(fileFormat, doc.format);
        if (rc)
            return rc;
    }

    int32_t n = 0;
    rc = PrepareFill(file.Name(), mode, fileFormat, &n);
    if (rc)
        return rc;
    if (mode == READ_OPEN) {
        int64_t pos = file.GetPosition();
        file.Seek(afterFormat, SEEK_ORIGIN_SET);
        ReadObjectDescription(file, riff);
        file.Seek(pos, SEEK_ORIGIN_SET);
    }
    int result = n == 0 ? 0 : ReadSoundData(file, mode, n, fileFormat, blocks, fileSamples);
    if (result == 0)
        result = shortResult;
    if (mode == READ_OPEN)
        SetDocumentSamples(fileSamples);
    if (n == 0)
        return result;
    CompleteFill(result);
    file.Ascend(data);
    file.Ascend(riff);
    return result;
}

namespace {

constexpr uint32_t MAX_READ_BYTES = 1u << 26;

// Sound of another format, or mixed into the old: through the converter,
// which writes into the prepared room by the edit mode and reports when it
// is full.
int ReadConvertedData(CMMFile& file, int32_t m, const Form& fileFormat, int32_t fileSamples)
{
    int rc = OpenConverter(fileFormat.Record(), nullptr, TheSelection().selStart);
    if (rc)
        return rc < 0 ? 0 : rc;
    SetConverterSourceSamples(fileSamples);
    // One chunk of the file's format, whole blocks, within what one read takes.
    auto align = static_cast<uint32_t>(fileFormat.BlockAlign());
    uint32_t bufferBytes = std::min<uint32_t>(fileFormat.GetChunkBytes(), MAX_READ_BYTES) / align * align;
    if (bufferBytes < align)
        bufferBytes = align;
    std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[bufferBytes]());
    if (!buffer) {
        CloseConverter();
        return ERR_NO_MEMORY;
    }
    int32_t bufferBlocks = static_cast<int32_t>(std::min<uint32_t>(bufferBytes / align, INT32_MAX));
    int32_t left = m;
    while (rc == 0 && left > 0) {
        int32_t want = std::min(left, bufferBlocks);
        int32_t got = file.Read(buffer.get(), static_cast<int32_t>(static_cast<uint32_t>(want) * align));
        int32_t blocks = got > 0 ? static_cast<int32_t>(static_cast<uint32_t>(got) / align) : 0;
        if (blocks <= 0) {
            rc = ERR_FILE_SHORT;
            break;
        }
        rc = ConvertChunk(buffer.get(), std::min(blocks, left));
        left -= blocks;
        if (ConverterFull())
            break;
    }
    if (rc == 0)
        rc = FinishConverter();
    // A full selection is the end of the paste, not a failure.
    if (rc == -1 && ConverterFull())
        rc = 0;
    CloseConverter();
    return rc;
}

}

int ReadSoundData(CMMFile& file, int mode, int32_t n, const Form& fileFormat, int32_t fileBlocks,
                  int32_t fileSamples)
{
    CKV_Document& doc = TheDocument();
    const Selection& sel = TheSelection();
    int32_t m = doc.format.ConvertLength(n, &fileFormat);
    if (!doc.format.Equals(fileFormat) || (mode == READ_PASTE && sel.editMode == EDIT_MIX)) {
        if (fileBlocks >= 0)
            m = fileBlocks;
        return m > 0 ? ReadConvertedData(file, m, fileFormat, fileSamples) : 0;
    }
    if (m == 0)
        return 0;
    int align = doc.format.BlockAlign();
    int result = 0;
    int32_t pos = sel.selStart;
    int32_t left = n;
    doc.SetChannel(255);
    while (left > 0) {
        uint8_t* run = nullptr;
        int32_t blocks = doc.GetRunToOverwrite(&run, pos, left);
        if (blocks <= 0) {
            result = ERR_NO_MEMORY;
            break;
        }
        int32_t bytes = blocks * align;
        int32_t got = file.Read(run, bytes);
        if (got != bytes) {
            // The room was not made silent beforehand.
            got = std::max(got, 0);
            std::memset(run + got, doc.SilenceByte(), static_cast<size_t>(bytes - got));
            result = ERR_FILE_SHORT;
            break;
        }
        pos += blocks;
        left -= blocks;
        if (TheSampleActions().Progress(pos)) {
            result = -1;
            break;
        }
    }
    doc.ReleaseCursor();
    return result;
}

int LoadWave(const char* name, int mode, MemoryFileInfo* memory)
{
    CMMFile file;
    if (!file.Open(name, KVIO_READ | KVIO_DENYWRITE, memory))
        return ERR_CANT_OPEN;
    int rc = ReadWave(file, mode);
    file.Close();
    return rc;
}
