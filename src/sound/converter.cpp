#include "sound/converter.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "base/error_message.h"
#include "lib/log.h"
#include "sound/acm_convert.h"
#include "sound/compression_manager.h"
#include "sound/document.h"
#include "sound/form.h"
#include "sound/pcm_convert.h"
#include "sound/sample_actions.h"

namespace {

// The one converter. Its steps run in this order, each optional: a stream
// from a compressed source, the built-in PCM converter, a stream to a
// compressed destination. With none, the blocks are put as they are.
struct Converter {
    bool open = false;
    bool finished = false;
    bool failed = false;                // a step failed or the user cancelled: nothing more is put
    bool full = false;
    bool copy = false;                  // equal formats
    Form source;
    Form destination;
    int32_t outPos = 0;
    int32_t consumed = 0;
    CGObList* chunks = nullptr;         // append target other than the document
    int64_t chunkBlocks = 0;            // blocks appended to chunks

    StreamStage decode;                 // a compressed source to PCM (or straight to the destination)
    bool decodesToPcm = false;
    uint32_t decodeAlign = 0;           // block size of its output
    PcmConverter pcm;
    bool hasPcm = false;
    uint32_t pcmInAlign = 0;
    uint32_t pcmOutAlign = 0;
    StreamStage encode;                 // PCM to a compressed destination
    uint32_t encodeAlign = 0;           // block size of its input

    int64_t sampleLimit = -1;
    int64_t decodedSamples = 0;
    int64_t encodedSamples = 0;
    int64_t blocksMade = 0;
};

Converter conv;

// What the document's exact sample count was recorded with.
struct KnownSamples {
    int32_t samples = -1;
    int32_t length = 0;
    Form format;
};

KnownSamples known;

bool Appending()
{
    return conv.chunks != nullptr || TheSelection().editMode == EDIT_APPEND;
}

int64_t RoomEnd()
{
    const Selection& sel = TheSelection();
    return static_cast<int64_t>(sel.selStart) + sel.selLength;
}

// 16-bit PCM of a record's rate and channels: what codecs decode to and
// encode from. 0 or an error id.
int Pcm16Like(const KvWaveFormat* w, Form& form)
{
    if (w->nChannels == 0 || w->nChannels >= 0x8000)
        return ERR_CANT_CONVERT;
    auto align = static_cast<uint16_t>(2u * w->nChannels);
    KvWaveFormat pcm = {WAVE_TAG_PCM, w->nChannels, w->nSamplesPerSec, w->nSamplesPerSec * align, align, 16, 0};
    return form.Set(&pcm) ? 0 : ERR_NO_MEMORY;
}

// The chunk memory for `blocks` of data: the owned block itself when it holds
// them (shrunk to size when that works), else a copy.
bool TakeMemory(const uint8_t* data, uint32_t bytes, ByteBlock* owned, std::unique_ptr<uint8_t[]>& memory,
                uint32_t& memoryBytes)
{
    if (owned && owned->data.get() == data) {
        memory = std::move(owned->data);
        memoryBytes = owned->size;
        owned->size = 0;
        if (memoryBytes > bytes) {
            // A smaller block when there is one; else the larger one stays.
            std::unique_ptr<uint8_t[]> smaller(new (std::nothrow) uint8_t[bytes]);
            if (smaller) {
                std::memcpy(smaller.get(), memory.get(), bytes);
                memory = std::move(smaller);
                memoryBytes = bytes;
            }
        }
        return true;
    }
    memory.reset(new (std::nothrow) uint8_t[bytes]);
    if (!memory)
        return false;
    std::memcpy(memory.get(), data, bytes);
    memoryBytes = bytes;
    return true;
}

int AppendBlocks(const uint8_t* data, int32_t blocks, ByteBlock* owned)
{
    uint32_t bytes = static_cast<uint32_t>(blocks) * static_cast<uint32_t>(conv.destination.BlockAlign());
    std::unique_ptr<uint8_t[]> memory;
    uint32_t memoryBytes = 0;
    if (!TakeMemory(data, bytes, owned, memory, memoryBytes))
        return ERR_NO_MEMORY;
    if (conv.chunks) {
        if (conv.chunkBlocks + blocks > INT32_MAX)
            return ERR_NO_MEMORY;
        auto* chunk = new (std::nothrow) CKV_BUFFER(blocks, std::move(memory), memoryBytes);
        if (!chunk)
            return ERR_NO_MEMORY;
        conv.chunks->Append(chunk);
        conv.chunkBlocks += blocks;
    } else {
        CKV_Document& doc = TheDocument();
        if (!doc.PutChunkMemory(doc.length, std::move(memory), memoryBytes, blocks))
            return ERR_NO_MEMORY;
    }
    conv.outPos += blocks;
    return 0;
}

// Every channel on show takes its own sample of each block.
int32_t MixChannels(const uint8_t* data, int32_t blocks)
{
    CKV_Document& doc = TheDocument();
    const KvWaveFormat* w = doc.format.Record();
    int width = w && w->wBitsPerSample == 16 ? 2 : 1;
    int32_t end = -1;
    for (int k = 1; doc.SetChannel(k); k++)
        end = doc.MixBlocks(conv.outPos, data + (doc.channel - 1) * width, blocks);
    doc.SetChannel(255);
    if (end < 0)
        end = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(conv.outPos) + blocks, doc.length));
    return end;
}

// Puts converted bytes into the document (or the chunk list); `owned` is the
// block holding data when the converter made it.
int PutConverted(const uint8_t* data, uint32_t bytes, ByteBlock* owned)
{
    uint32_t align = static_cast<uint32_t>(conv.destination.BlockAlign());
    int64_t blocks = bytes / align;
    bool append = Appending();
    if (!append) {
        int64_t room = RoomEnd() - conv.outPos;
        if (room <= 0) {
            conv.full = true;
            return blocks > 0 ? -1 : 0;
        }
        if (blocks >= room) {
            blocks = room;
            conv.full = true;
        }
    }
    if (blocks == 0)
        return 0;
    if (blocks > INT32_MAX)
        return ERR_NO_MEMORY;
    auto n = static_cast<int32_t>(blocks);
    conv.blocksMade += n;
    if (append)
        return AppendBlocks(data, n, owned);

    CKV_Document& doc = TheDocument();
    int32_t end;
    if (TheSelection().editMode == EDIT_MIX && doc.format.IsPcm()) {
        end = MixChannels(data, n);
    } else {
        doc.SetChannel(255);
        end = doc.WriteBlocks(conv.outPos, data, n);
    }
    bool complete = end == conv.outPos + n;
    conv.outPos = end;
    if (!complete) {
        Log("Doc:PutConverted(%d) FAIL", n);
        return ERR_NO_MEMORY;
    }
    return 0;
}

// Runs the steps over one buffer of source bytes (none and last: what the
// steps hold) and puts the result.
int RunSteps(const uint8_t* data, uint32_t bytes, bool last)
{
    ByteBlock decoded, stepped, encoded;
    const uint8_t* p = data;
    uint32_t len = bytes;
    ByteBlock* owner = nullptr;
    int rc;

    if (conv.decode.IsOpen()) {
        rc = conv.decode.Run(p, len, last, decoded, len);
        if (rc)
            return rc;
        p = decoded.data.get();
        owner = &decoded;
        if (conv.decodesToPcm) {
            int64_t frames = len / conv.decodeAlign;
            // Codecs decode whole blocks: the last one may hold more
            // samples than the sound.
            if (conv.sampleLimit >= 0)
                frames = std::min(frames, std::max<int64_t>(conv.sampleLimit - conv.decodedSamples, 0));
            conv.decodedSamples += frames;
            len = static_cast<uint32_t>(frames) * conv.decodeAlign;
        }
    }
    if (conv.hasPcm) {
        auto frames = static_cast<int32_t>(len / conv.pcmInAlign);
        uint64_t outBytes = static_cast<uint64_t>(conv.pcm.OutputBlocks(frames)) * conv.pcmOutAlign;
        if (outBytes > UINT32_MAX / 2 || !stepped.Allocate(static_cast<uint32_t>(outBytes)))
            return ERR_NO_MEMORY;
        conv.pcm.Convert(p, frames, stepped.data.get());
        decoded.Free();
        p = stepped.data.get();
        len = static_cast<uint32_t>(outBytes);
        owner = &stepped;
    }
    if (conv.encode.IsOpen()) {
        conv.encodedSamples += len / conv.encodeAlign;
        rc = conv.encode.Run(p, len, last, encoded, len);
        if (rc)
            return rc;
        decoded.Free();
        stepped.Free();
        p = encoded.data.get();
        owner = &encoded;
    }
    if (len == 0)
        return 0;
    return PutConverted(p, len, owner);
}

// Chooses the steps between source and destination.
int PlanSteps()
{
    const KvWaveFormat* s = conv.source.Record();
    const KvWaveFormat* d = conv.destination.Record();
    PcmLayout layout;
    bool builtIn = GetPcmLayout(s, layout);
    bool plainDestination = IsPlainPcm(d);
    if (builtIn && plainDestination) {
        conv.hasPcm = conv.pcm.Open(s, d);
        conv.pcmInAlign = s->nBlockAlign;
        conv.pcmOutAlign = d->nBlockAlign;
        return conv.hasPcm ? 0 : ERR_CANT_CONVERT;
    }
    // PCM of other sizes is read, never written.
    if (d->wFormatTag == WAVE_TAG_PCM && !plainDestination)
        return ERR_CANT_CONVERT;
    CompressionManager* manager = UsableCompressionManager();
    if (manager == nullptr)
        return ERR_CANT_CONVERT;

    // One stream when the manager has one; wider PCM, float and extensible
    // sources stay with the built-in converter.
    if (!builtIn) {
        if (conv.decode.Open(*manager, s, d) == 0) {
            conv.decodesToPcm = d->wFormatTag == WAVE_TAG_PCM;
            conv.decodeAlign = d->nBlockAlign;
            return 0;
        }
    } else if (IsPlainPcm(s) && conv.encode.Open(*manager, s, d) == 0) {
        conv.encodeAlign = s->nBlockAlign;
        return 0;
    }

    // Else the codecs work with 16-bit PCM of their own rate and channels
    // and the built-in converter does the rest.
    Form pcmIn, pcmOut;
    int rc;
    if (!builtIn) {
        if ((rc = Pcm16Like(s, pcmIn)) != 0)
            return rc;
        rc = conv.decode.Open(*manager, s, pcmIn.Record());
        if (rc) {
            Log("Acm:Open(%u) %d", s->wFormatTag, rc);
            return ERR_CANT_CONVERT;
        }
        conv.decodesToPcm = true;
        conv.decodeAlign = static_cast<uint32_t>(pcmIn.BlockAlign());
    } else if (!pcmIn.Set(s)) {
        return ERR_NO_MEMORY;
    }
    if (!plainDestination) {
        if ((rc = Pcm16Like(d, pcmOut)) != 0)
            return rc;
        rc = conv.encode.Open(*manager, pcmOut.Record(), d);
        if (rc) {
            Log("Acm:Open(%u) %d", d->wFormatTag, rc);
            return ERR_CANT_CONVERT;
        }
        conv.encodeAlign = static_cast<uint32_t>(pcmOut.BlockAlign());
    } else if (!pcmOut.Set(d)) {
        return ERR_NO_MEMORY;
    }
    if (!pcmIn.Equals(pcmOut)) {
        if (!conv.pcm.Open(pcmIn.Record(), pcmOut.Record()))
            return ERR_CANT_CONVERT;
        conv.hasPcm = true;
        conv.pcmInAlign = static_cast<uint32_t>(pcmIn.BlockAlign());
        conv.pcmOutAlign = static_cast<uint32_t>(pcmOut.BlockAlign());
    }
    return 0;
}

void CloseSteps()
{
    conv.decode.Close();
    conv.encode.Close();
    conv.hasPcm = false;
    conv.decodesToPcm = false;
}

int Open(const KvWaveFormat* source, const KvWaveFormat* destination, int32_t outPos, CGObList* chunks)
{
    // A converter left open is abandoned, not finished into the document.
    if (conv.open) {
        conv.failed = true;
        CloseConverter();
    }
    if (destination == nullptr)
        destination = TheDocument().format.Record();
    if (source == nullptr || destination == nullptr)
        return ERR_CANT_CONVERT;
    if (!conv.source.Set(source) || !conv.destination.Set(destination))
        return ERR_NO_MEMORY;
    conv.outPos = outPos;
    conv.consumed = 0;
    conv.chunks = chunks;
    conv.chunkBlocks = 0;
    conv.finished = conv.failed = conv.full = conv.copy = false;
    conv.decodedSamples = conv.encodedSamples = conv.blocksMade = 0;
    conv.sampleLimit = -1;
    if (conv.source.BlockAlign() == 0 || conv.destination.BlockAlign() == 0)
        return ERR_CANT_CONVERT;
    if (conv.source.Equals(conv.destination)) {
        if (Appending())
            return -1;
        conv.copy = true;
        conv.open = true;
        return 0;
    }
    int rc = PlanSteps();
    if (rc) {
        CloseSteps();
        return rc;
    }
    conv.open = true;
    return 0;
}

}

int OpenConverter(const KvWaveFormat* source, const KvWaveFormat* destination, int32_t outPos)
{
    return Open(source, destination, outPos, nullptr);
}

int OpenConverterToChunks(const KvWaveFormat* source, const KvWaveFormat* destination, CGObList* chunks)
{
    return chunks ? Open(source, destination, 0, chunks) : ERR_INTERNAL;
}

int CheckConversion(const Form& source, const Form& destination)
{
    CGObList nowhere;
    int rc = Open(source.Record(), destination.Record(), 0, &nowhere);
    conv.failed = true;
    CloseConverter();
    return rc < 0 ? 0 : rc;
}

void SetConverterSourceSamples(int32_t samples)
{
    conv.sampleLimit = samples;
}

int ConvertChunk(const uint8_t* data, int32_t n)
{
    if (n <= 0)
        return 0;
    if (!conv.open || data == nullptr)
        return ERR_INTERNAL;
    bool append = Appending();
    if (TheSampleActions().Progress(append ? conv.consumed : conv.outPos)) {
        conv.failed = true;
        return -1;
    }
    if (!append && conv.outPos >= RoomEnd()) {
        conv.full = true;
        return -1;
    }
    uint64_t bytes = static_cast<uint64_t>(n) * static_cast<uint32_t>(conv.source.BlockAlign());
    if (bytes > UINT32_MAX / 2)
        return ERR_NO_MEMORY;
    conv.consumed += n;
    int rc = conv.copy ? PutConverted(data, static_cast<uint32_t>(bytes), nullptr)
                       : RunSteps(data, static_cast<uint32_t>(bytes), false);
    if (rc > 0)
        conv.failed = true;
    return rc;
}

bool ConverterFull()
{
    return conv.full;
}

int FinishConverter()
{
    if (!conv.open || conv.finished || conv.failed)
        return 0;
    conv.finished = true;
    if (conv.copy)
        return 0;
    int rc = RunSteps(nullptr, 0, true);
    if (rc > 0)
        conv.failed = true;
    return rc;
}

int32_t ConverterOutputSamples()
{
    if (conv.encode.IsOpen())
        return static_cast<int32_t>(std::min<int64_t>(conv.encodedSamples, INT32_MAX));
    if (IsPlainPcm(conv.destination.Record()))
        return static_cast<int32_t>(std::min<int64_t>(conv.blocksMade, INT32_MAX));
    return -1;
}

int32_t CloseConverter()
{
    if (!conv.open)
        return conv.outPos;
    if (!conv.finished && !conv.failed)
        FinishConverter();
    if (conv.failed) {
        conv.decode.Abandon();
        conv.encode.Abandon();
    }
    CloseSteps();
    conv.open = false;
    conv.chunks = nullptr;
    return conv.outPos;
}

int32_t ConvertedLength(const Form& source, int32_t blocks, const Form& destination, int32_t sourceSamples)
{
    if (blocks <= 0 || source.Equals(destination))
        return blocks;
    const KvWaveFormat* s = source.Record();
    const KvWaveFormat* d = destination.Record();
    if (s == nullptr || d == nullptr)
        return 0;
    PcmLayout layout;
    bool builtIn = GetPcmLayout(s, layout);
    int64_t frames = builtIn ? blocks : static_cast<int64_t>(blocks) * SamplesPerBlock(s);
    if (!builtIn && sourceSamples >= 0)
        frames = std::min<int64_t>(frames, sourceSamples);
    if (s->nSamplesPerSec != d->nSamplesPerSec)
        frames = PcmConverter::StreamLength(frames, s->nSamplesPerSec, d->nSamplesPerSec);
    if (d->wFormatTag != WAVE_TAG_PCM) {
        // An encoder pads the last partial block.
        int64_t perBlock = SamplesPerBlock(d);
        frames = (frames + perBlock - 1) / perBlock;
    }
    return static_cast<int32_t>(std::min<int64_t>(frames, INT32_MAX));
}

int32_t ExactDocumentSamples()
{
    const CKV_Document& doc = TheDocument();
    if (known.samples < 0 || known.length != doc.length || !known.format.Equals(doc.format))
        return -1;
    return known.samples;
}

int32_t DocumentSamples()
{
    int32_t exact = ExactDocumentSamples();
    if (exact >= 0)
        return exact;
    const CKV_Document& doc = TheDocument();
    return doc.format.BlocksToSamples(doc.length);
}

void SetDocumentSamples(int32_t samples)
{
    const CKV_Document& doc = TheDocument();
    known.samples = -1;
    if (samples < 0 || !known.format.Set(doc.format))
        return;
    // Never more than the blocks decode to: a read that ended early holds
    // fewer than its file's count.
    known.samples = static_cast<int32_t>(
        std::min<int64_t>(samples, int64_t{doc.length} * SamplesPerBlock(doc.format.Record())));
    known.length = doc.length;
}
