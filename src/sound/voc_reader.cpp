// Creative VOC: a 26-byte header, then a list of little-endian blocks, each a
// type byte and a 24-bit body length. Every sound block names its own rate,
// so the list is read twice: a measure pass counts the blocks the whole sound
// takes in one format (readFormat), and after the room is made the read pass
// converts each block into it.
#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "base/error_message.h"
#include "sound/document.h"
#include "sound/raw_data.h"
#include "sound/sample_actions.h"
#include "sound/wave_file.h"

namespace {

const int VOC_HEADER_BYTES = 26;
// Some writers put "\r\n" at offset 22; their blocks begin 2 bytes later.
const uint16_t VOC_SHIFTED_HEADER = 0x0A0D;
// The format knows no nested loops; a few levels are followed, deeper
// nesting is taken for damage.
const int MAX_REPEAT_DEPTH = 4;

enum : uint8_t {
    VOC_TERMINATOR = 0,
    VOC_SOUND = 1,              // time constant, pack byte, 8-bit samples
    VOC_CONTINUATION = 2,       // more samples of the previous sound block
    VOC_SILENCE = 3,
    VOC_REPEAT = 6,
    VOC_REPEAT_END = 7,
    VOC_EXTENDED = 8,           // rate and channels of the next sound block
    VOC_SOUND_NEW = 9,          // rate, bits, channels, codec, then samples
};

enum : uint8_t { VOC_PACK_PCM = 0, VOC_PACK_PCM_ALT = 0x56 };
enum : uint16_t { VOC_CODEC_PCM_8 = 0, VOC_CODEC_PCM_16 = 4 };

const uint32_t SOUND_HEADER_BYTES = 2;
const uint32_t SOUND_NEW_HEADER_BYTES = 12;
const uint32_t SILENCE_BYTES = 3;
const uint32_t REPEAT_BYTES = 2;
const uint32_t EXTENDED_BYTES = 4;

// An old-style time constant tc stands for 1000000 / (256 - tc) Hz.
uint32_t RateOfTimeConstant(uint8_t tc)
{
    return 1000000u / (256u - tc);
}

bool MakePcm(Form& format, uint16_t channels, uint32_t rate, uint16_t bits)
{
    if (!format.SetSize(PCM_FORMAT_SIZE))
        return false;
    KvWaveFormat* w = format.Record();
    w->wFormatTag = WAVE_TAG_PCM;
    w->nChannels = channels;
    w->nSamplesPerSec = rate;
    w->wBitsPerSample = bits;
    w->nBlockAlign = 0;
    w->nAvgBytesPerSec = 0;
    format.Normalize();
    return true;
}

// One piece of sound a read pass put into the document: `blocks` blocks of
// `format` from dataPos (or silence), which make k document blocks.
struct VocPiece {
    KvWaveFormat format;
    int64_t dataPos;
    int32_t blocks;
    int32_t k;
    unsigned layout;
};

// The pieces of one pass of a loop, kept so that the later passes, which do
// exactly the same, need not walk the blocks again. A pass of more pieces
// than this is walked again: it brings at least one block per few blocks
// walked.
struct VocPass {
    std::vector<VocPiece> pieces;
    bool complete = true;       // false: too many pieces, or no memory for them
};
const size_t MAX_PASS_PIECES = 4096;

// The block list of one file, walked by either pass.
class VocParser {
public:
    explicit VocParser(ReaderContext& context) : ctx(context), fileSize(context.file.FileSize()) {}

    // One walk from dataStart: READ_MEASURE counts into blocksLeft, the reader
    // modes read into the room blocksLeft has left.
    int Run(int mode);

    // A block ran past the end of the file: the list ended there, after the
    // whole samples the block held.
    bool truncated = false;

private:
    // Reads blocks up to the terminator, the end of the data, a repeat end
    // (which ends one pass of a loop; repeatEnd tells) or a full document.
    int ParseBlocks(int mode, int depth, bool& repeatEnd);
    int SoundBlock(int mode, uint32_t length);
    int SilenceBlock(int mode);
    int RepeatBlock(int mode, int depth, bool& finished);
    int ExtendedBlock(uint32_t length);
    // Counts or reads `blocks` blocks of a block's format.
    int Take(int mode, const Form& format, int32_t blocks, unsigned layout);
    // Reads a piece into the room still free (and into the passes being kept).
    int Put(const VocPiece& piece, const Form& format);
    int Replay(const VocPass& pass);

    ReaderContext& ctx;
    int64_t fileSize;
    bool haveLast = false;      // lastFormat holds the last sound block's format
    Form lastFormat;
    bool extended = false;      // an extended block set the next sound block's format
    uint16_t extendedChannels = 1;
    uint32_t extendedRate = 0;
    uint8_t extendedPack = 0;
    // The loops whose second pass is being read, innermost last.
    VocPass* keeping[MAX_REPEAT_DEPTH] = {};
    int keepingCount = 0;
};

int VocParser::Run(int mode)
{
    haveLast = false;
    extended = false;
    truncated = false;
    if (ctx.file.Seek(ctx.dataStart, SEEK_ORIGIN_SET) != int64_t(ctx.dataStart))
        return ERR_FILE_SHORT;
    bool repeatEnd = false;
    return ParseBlocks(mode, 0, repeatEnd);
}

int VocParser::ParseBlocks(int mode, int depth, bool& repeatEnd)
{
    repeatEnd = false;
    for (;;) {
        uint8_t h[4];
        if (ctx.file.Read(h, 4) != 4)
            return 0;
        ctx.blockType = h[0];
        if (h[0] == VOC_TERMINATOR)
            return 0;
        uint32_t length = h[1] | (uint32_t(h[2]) << 8) | (uint32_t(h[3]) << 16);
        int64_t body = ctx.file.GetPosition();
        if (body < 0)
            return ERR_FILE_SHORT;
        bool lastBlock = body + length > fileSize;
        if (lastBlock) {
            // A block that is only skipped ends the list as the end of the
            // file does: SoX writes new-style blocks whose length is short
            // of their samples, and the rest reads as such a block. A sound
            // block cut short keeps its whole samples and is reported.
            if (h[0] != VOC_SOUND && h[0] != VOC_CONTINUATION && h[0] != VOC_SOUND_NEW)
                return 0;
            truncated = true;
            length = static_cast<uint32_t>(std::max<int64_t>(fileSize - body, 0));
        }
        int rc = 0;
        switch (h[0]) {
        case VOC_SOUND:
        case VOC_CONTINUATION:
        case VOC_SOUND_NEW:
            rc = SoundBlock(mode, length);
            break;
        case VOC_SILENCE:
            rc = length == SILENCE_BYTES ? SilenceBlock(mode) : ERR_FILE_SHORT;
            break;
        case VOC_REPEAT: {
            if (length != REPEAT_BYTES)
                return ERR_FILE_SHORT;
            bool finished = false;
            rc = RepeatBlock(mode, depth, finished);
            if (rc || finished)
                return rc;
            // The loop's last pass left the file behind its end marker.
            continue;
        }
        case VOC_REPEAT_END:
            if (length != 0)
                return ERR_FILE_SHORT;
            repeatEnd = true;
            return 0;
        case VOC_EXTENDED:
            rc = ExtendedBlock(length);
            break;
        default:
            break;              // markers, text and unknown blocks are skipped
        }
        if (rc || lastBlock)
            return rc;
        if (mode != READ_MEASURE && ctx.blocksLeft < 1)
            return 0;
        if (ctx.file.Seek(body + length, SEEK_ORIGIN_SET) != body + length)
            return ERR_FILE_SHORT;
    }
}

int VocParser::SoundBlock(int mode, uint32_t length)
{
    Form format;
    uint32_t bytes = 0;
    if (ctx.blockType == VOC_SOUND) {
        uint8_t b[SOUND_HEADER_BYTES];
        if (length < SOUND_HEADER_BYTES || ctx.file.Read(b, SOUND_HEADER_BYTES) != SOUND_HEADER_BYTES)
            return ERR_FILE_SHORT;
        // An extended block in front overrides the time constant and pack byte.
        bool useExtended = extended;
        extended = false;
        if (length == SOUND_HEADER_BYTES)
            return 0;
        uint8_t pack = useExtended ? extendedPack : b[1];
        if (pack != VOC_PACK_PCM && pack != VOC_PACK_PCM_ALT)
            return ERR_UNSUPPORTED_COMPRESSION;
        uint32_t rate = useExtended ? extendedRate : RateOfTimeConstant(b[0]);
        if (!MakePcm(format, useExtended ? extendedChannels : 1, rate, 8))
            return ERR_NO_MEMORY;
        bytes = length - SOUND_HEADER_BYTES;
    } else if (ctx.blockType == VOC_SOUND_NEW) {
        uint8_t b[SOUND_NEW_HEADER_BYTES];
        if (length < SOUND_NEW_HEADER_BYTES
            || ctx.file.Read(b, SOUND_NEW_HEADER_BYTES) != SOUND_NEW_HEADER_BYTES)
            return ERR_FILE_SHORT;
        uint32_t rate = LittleEndian32(b);
        uint8_t bits = b[4];
        uint8_t channels = b[5];
        uint16_t codec = LittleEndian16(b + 6);
        // Unsigned 8-bit and signed 16-bit samples are the document's own.
        if (!(codec == VOC_CODEC_PCM_8 && bits == 8) && !(codec == VOC_CODEC_PCM_16 && bits == 16))
            return ERR_UNSUPPORTED_COMPRESSION;
        if (channels < 1 || channels > 2)
            return ERR_UNSUPPORTED_FORMAT;
        if (!MakePcm(format, channels, rate, bits))
            return ERR_NO_MEMORY;
        if (!format.IsValid())
            return ERR_UNSUPPORTED_FORMAT;
        bytes = length - SOUND_NEW_HEADER_BYTES;
    } else {
        // A continuation without a sound block before it has no format.
        if (!haveLast)
            return 0;
        if (!format.Set(lastFormat))
            return ERR_NO_MEMORY;
        bytes = length;
    }
    if (!lastFormat.Set(format))
        return ERR_NO_MEMORY;
    haveLast = true;
    int32_t blocks = static_cast<int32_t>(bytes / static_cast<uint32_t>(format.BlockAlign()));
    if (blocks == 0)
        return 0;
    return Take(mode, format, blocks, RAW_AS_IS);
}

int VocParser::SilenceBlock(int mode)
{
    uint8_t b[SILENCE_BYTES];
    if (ctx.file.Read(b, SILENCE_BYTES) != SILENCE_BYTES)
        return ERR_FILE_SHORT;
    // The stored length is one less than the samples of silence.
    int32_t samples = LittleEndian16(b) + 1;
    Form format;
    if (!MakePcm(format, 1, RateOfTimeConstant(b[2]), 8))
        return ERR_NO_MEMORY;
    return Take(mode, format, samples, RAW_SILENCE);
}

int VocParser::RepeatBlock(int mode, int depth, bool& finished)
{
    uint8_t b[REPEAT_BYTES];
    if (ctx.file.Read(b, REPEAT_BYTES) != REPEAT_BYTES || depth >= MAX_REPEAT_DEPTH)
        return ERR_FILE_SHORT;
    uint32_t passes = LittleEndian16(b) + 1u;
    int64_t start = ctx.file.GetPosition();
    bool repeatEnd = false;
    VocPass kept;
    for (uint32_t pass = 0; pass < passes; pass++) {
        if (start < 0 || ctx.file.Seek(start, SEEK_ORIGIN_SET) != start)
            return ERR_FILE_SHORT;
        int32_t leftBefore = ctx.blocksLeft;
        int32_t posBefore = ctx.writePos;
        bool keep = mode != READ_MEASURE && pass == 1;
        if (keep)
            keeping[keepingCount++] = &kept;
        int rc = ParseBlocks(mode, depth + 1, repeatEnd);
        if (keep)
            keepingCount--;
        if (rc)
            return rc;
        if (truncated || (mode != READ_MEASURE && ctx.blocksLeft < 1)) {
            finished = true;
            return 0;
        }
        if (pass == 0)
            continue;
        // From the second pass on, every pass starts in the same state (the
        // format, the last sound block, a pending extended block) and so
        // does the same: the rest are counted at once, and once one brings
        // nothing the others would not either.
        if (mode == READ_MEASURE) {
            int64_t total = ctx.blocksLeft + int64_t(ctx.blocksLeft - leftBefore) * (passes - 1 - pass);
            if (total > INT32_MAX)
                return ERR_NO_MEMORY;
            ctx.blocksLeft = static_cast<int32_t>(total);
            break;
        }
        if (ctx.blocksLeft == leftBefore && ctx.writePos == posBefore)
            break;
        if (kept.complete) {
            int64_t end = ctx.file.GetPosition();
            for (pass++; pass < passes; pass++) {
                rc = Replay(kept);
                if (rc)
                    return rc;
                if (ctx.blocksLeft < 1) {
                    finished = true;
                    return 0;
                }
            }
            if (end < 0 || ctx.file.Seek(end, SEEK_ORIGIN_SET) != end)
                return ERR_FILE_SHORT;
        }
    }
    // A loop closed by its end marker goes on behind it; one that ran into
    // the terminator or the end of the data ends the list.
    finished = !repeatEnd;
    return 0;
}

int VocParser::ExtendedBlock(uint32_t length)
{
    uint8_t b[EXTENDED_BYTES];
    if (length != EXTENDED_BYTES || ctx.file.Read(b, EXTENDED_BYTES) != EXTENDED_BYTES)
        return 0;
    uint8_t mode = b[3];
    if (mode > 1)
        return 0;
    // time constant = 65536 - 256000000 / (channels × rate)
    extendedChannels = static_cast<uint16_t>(mode + 1);
    extendedRate = 256000000u / (extendedChannels * (65536u - LittleEndian16(b)));
    extendedPack = b[2];
    extended = true;
    return 0;
}

int VocParser::Take(int mode, const Form& format, int32_t blocks, unsigned layout)
{
    // Silence has no format to give: the sound blocks decide it.
    if (!ctx.formatKnown && !(layout & RAW_SILENCE)) {
        if (!ctx.readFormat.Set(format))
            return ERR_NO_MEMORY;
        ctx.formatKnown = 1;
    }
    int32_t k = DocumentBlocks(format, blocks, ctx.readFormat);
    if (mode == READ_MEASURE) {
        int64_t total = int64_t(ctx.blocksLeft) + k;
        // No document holds more blocks.
        if (total > INT32_MAX)
            return ERR_NO_MEMORY;
        ctx.blocksLeft = static_cast<int32_t>(total);
        return 0;
    }
    // Block formats are PCM records, which hold no cbSize.
    VocPiece piece = {{}, ctx.file.GetPosition(), blocks, k, layout};
    std::memcpy(&piece.format, format.Record(), std::min<size_t>(format.Size(), sizeof(piece.format)));
    return Put(piece, format);
}

int VocParser::Put(const VocPiece& piece, const Form& format)
{
    // The piece that reaches the end of the room is cut by the converter.
    int32_t k = std::min(piece.k, ctx.blocksLeft);
    ctx.blocksLeft -= k;
    if (k <= 0)
        return 0;
    for (int i = 0; i < keepingCount; i++) {
        VocPass* pass = keeping[i];
        if (!pass->complete)
            continue;
        try {
            if (pass->pieces.size() < MAX_PASS_PIECES)
                pass->pieces.push_back(piece);
            else
                pass->complete = false;
        } catch (const std::bad_alloc&) {
            pass->complete = false;
        }
    }
    if (!(piece.layout & RAW_SILENCE)
        && (piece.dataPos < 0 || ctx.file.Seek(piece.dataPos, SEEK_ORIGIN_SET) != piece.dataPos))
        return ERR_FILE_SHORT;
    return ReadConverted(ctx, format, ctx.writePos, piece.blocks, piece.layout);
}

int VocParser::Replay(const VocPass& pass)
{
    for (const VocPiece& piece : pass.pieces) {
        Form format;
        if (!format.Set(&piece.format))
            return ERR_NO_MEMORY;
        int rc = Put(piece, format);
        if (rc)
            return rc;
        if (ctx.blocksLeft < 1)
            break;
    }
    return 0;
}

}

int ReadVoc(CMMFile& file, int mode)
{
    uint8_t h[VOC_HEADER_BYTES];
    int32_t got = file.Read(h, VOC_HEADER_BYTES);
    if (got < 4 || std::memcmp(h, "Crea", 4) != 0)
        return ERR_NOT_SOUND_FILE;
    if (got < VOC_HEADER_BYTES)
        return ERR_FILE_SHORT;
    CKV_Document& doc = TheDocument();
    Selection& sel = TheSelection();
    ReaderContext ctx(file, mode);
    // The header's own data offset field is not used.
    ctx.dataStart = VOC_HEADER_BYTES + (LittleEndian16(h + 22) == VOC_SHIFTED_HEADER ? 2 : 0);
    if (!ctx.readFormat.Set(doc.format))
        return ERR_NO_MEMORY;
    ctx.formatKnown = mode == READ_OPEN ? 0 : 1;
    ctx.blocksLeft = 0;

    VocParser parser(ctx);
    ctx.writePos = sel.selStart;
    int rc = parser.Run(READ_MEASURE);
    if (rc)
        return rc;
    if (!ctx.readFormat.Equals(doc.format) && mode == READ_OPEN) {
        // Silence in front of the first sound block was counted in the old
        // document's format: count everything again in the file's.
        ctx.blocksLeft = 0;
        rc = parser.Run(READ_MEASURE);
        if (rc)
            return rc;
    }
    sel.pendingLength = ctx.blocksLeft;
    // Like a WAVE "data" chunk that claims more than the file holds, a list
    // cut short loads what is there and is still reported.
    int shortResult = parser.truncated ? ERR_FILE_SHORT : 0;
    if (mode == READ_MEASURE || (mode != READ_OPEN && ctx.blocksLeft == 0))
        return shortResult;
    rc = PrepareFill(file.Name(), mode, ctx.readFormat, &ctx.blocksLeft);
    if (rc || ctx.blocksLeft == 0)
        return rc ? rc : shortResult;
    ctx.writePos = sel.selStart;
    rc = parser.Run(mode);
    if (rc == 0)
        rc = shortResult;
    CompleteFill(rc);
    return rc;
}
