#include "sound/form.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "app/error_message.h"
#include "sound/compression_manager.h"
#include "sound/file.h"

namespace {

enum : uint16_t { ADPCM = 2 };

class FakeCompressionManager : public CompressionManager {
public:
    uint32_t Version() const override { return version; }
    bool GetTagName(uint16_t tag, char* name, int size) override
    {
        ++queries;
        auto it = names.find(tag);
        return it != names.end() && std::snprintf(name, size_t(size), "%s", it->second.c_str()) > 0;
    }
    uint32_t version = 0x02000000;
    std::map<uint16_t, std::string> names;
    int queries = 0;
};

// A record field by field; a non-PCM one carries cbSize extra bytes (zero).
// `size` overrides the record's own size.
void Fill(Form& f, uint16_t tag, uint16_t ch, uint32_t rate, uint32_t avg, uint16_t align, uint16_t bits,
    uint16_t cbSize = 0, uint32_t size = 0)
{
    ASSERT_TRUE(f.SetSize(size ? size : tag == WAVE_TAG_PCM ? PCM_FORMAT_SIZE : 18u + cbSize));
    KvWaveFormat r = {tag, ch, rate, avg, align, bits, cbSize};
    std::memcpy(f.Record(), &r, tag == WAVE_TAG_PCM ? PCM_FORMAT_SIZE : 18u);
}

void Pcm(Form& f, uint16_t ch, uint16_t bits, uint32_t rate)
{
    Fill(f, WAVE_TAG_PCM, ch, rate, 0, 0, bits);
    f.Normalize();
}

uint8_t* Bytes(Form& f) { return reinterpret_cast<uint8_t*>(f.Record()); }

class FormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetAppOptions();
    }
    void TearDown() override { SetCompressionManager(nullptr); }

    Form form, other;
};

TEST_F(FormTest, NormalizeAndIsValidFollowTheTag)
{
    struct Case { uint16_t tag, ch, bits, align; uint32_t rate, avg; uint16_t wantAlign; uint32_t wantAvg; };
    const Case normalized[] = {
        {WAVE_TAG_PCM, 2, 16, 0, 44100, 0, 4, 176400}, {WAVE_TAG_ALAW, 2, 8, 0, 8000, 0, 2, 16000},
        {ADPCM, 2, 4, 0, 8000, 0, 1, 16000}, {ADPCM, 1, 4, 256, 8000, 4096, 256, 4096},
    };
    for (const Case& c : normalized) {
        Fill(form, c.tag, c.ch, c.rate, c.avg, c.align, c.bits);
        form.Normalize();
        EXPECT_EQ(c.wantAlign, form.Record()->nBlockAlign) << c.tag;
        EXPECT_EQ(c.wantAvg, form.Record()->nAvgBytesPerSec) << c.tag;
        EXPECT_TRUE(form.IsValid()) << c.tag;
    }
    EXPECT_FALSE(Form().IsValid());
    struct Bad { uint16_t tag, ch, bits, align; uint32_t rate, avg; };
    const Bad invalid[] = {
        {WAVE_TAG_PCM, 0, 8, 0, 11025, 0}, {WAVE_TAG_PCM, 1, 8, 1, 0, 0}, {WAVE_TAG_PCM, 1, 12, 2, 11025, 22050},
        {WAVE_TAG_PCM, 2, 16, 2, 44100, 88200}, {WAVE_TAG_PCM, 2, 16, 4, 1u << 30, 0},   // 4 * 2^30 wraps to 0
        {ADPCM, 1, 4, 256, 8000, 0}, {WAVE_TAG_ALAW, 1, 8, 0, 8000, 8000},
    };
    for (const Bad& c : invalid) {
        Fill(form, c.tag, c.ch, c.rate, c.avg, c.align, c.bits);
        EXPECT_FALSE(form.IsValid()) << c.tag << "/" << c.ch << "/" << c.bits << "/" << c.avg;
    }
}

TEST_F(FormTest, RecordsAreCopiedAndComparedByTheirOwnSize)
{
    Fill(form, ADPCM, 1, 8000, 4096, 256, 4, 32);
    ASSERT_TRUE(other.Set(form.Record()));
    EXPECT_EQ(50u, other.Size());
    EXPECT_TRUE(form.Equals(other));
    EXPECT_TRUE(form.Equals(static_cast<const KvWaveFormat*>(nullptr)));
    Bytes(other)[49] = 7;                       // an extra byte only
    EXPECT_FALSE(form.Equals(other));
    ASSERT_TRUE(form.Set(form));

    // A PCM record read from an 18-byte chunk copies as 16 bytes.
    Fill(form, WAVE_TAG_PCM, 1, 11025, 11025, 1, 8, 0, 18);
    ASSERT_TRUE(other.Set(form));
    EXPECT_EQ(PCM_FORMAT_SIZE, other.Size());
    EXPECT_TRUE(other.Equals(form));
    EXPECT_FALSE(form.Equals(other));

    // A 16-byte block relabelled with a compressed tag holds no cbSize.
    Pcm(form, 1, 8, 8000);
    form.Record()->wFormatTag = WAVE_TAG_ALAW;
    EXPECT_FALSE(form.IsValid());
    ASSERT_TRUE(other.Set(form));
    EXPECT_EQ(18u, other.Size());
    EXPECT_EQ(0, other.Record()->cbSize);
    EXPECT_TRUE(other.IsValid());
}

TEST_F(FormTest, TypeNamesComeFromTheCompressionManagerOnce)
{
    Pcm(form, 2, 16, 11025);
    EXPECT_STREQ("16-bit", form.GetTypeName());
    FakeCompressionManager acm;
    acm.names[ADPCM] = "Microsoft ADPCM";
    SetCompressionManager(&acm);
    Fill(form, ADPCM, 1, 8000, 4096, 256, 4);
    EXPECT_STREQ("Microsoft ADPCM", form.GetTypeName());
    EXPECT_STREQ("Microsoft ADPCM", form.GetTypeName());
    EXPECT_EQ(1, acm.queries);

    // An unknown tag stays "Not Supported" until the record is replaced.
    Fill(form, 0x55, 1, 8000, 4096, 256, 4);
    EXPECT_STREQ("Not Supported", form.GetTypeName());
    acm.names[0x55] = "MPEG Layer-3";
    EXPECT_STREQ("Not Supported", form.GetTypeName());
    Fill(other, 0x55, 1, 8000, 4096, 256, 4);
    ASSERT_TRUE(form.Set(other));
    EXPECT_STREQ("MPEG Layer-3", form.GetTypeName());

    acm.version = 0x01FF0000;                   // below 2.00: not asked
    Fill(form, ADPCM, 1, 8000, 4096, 256, 4);
    EXPECT_STREQ("Not Supported", form.GetTypeName());
    EXPECT_EQ(3, acm.queries);
}

TEST_F(FormTest, DisplayNameJoinsRateChannelsAndType)
{
    Pcm(form, 1, 8, 11025);
    EXPECT_STREQ("Voice Quality (11.025 kHz), Mono, 8-bit", form.GetDisplayName());
    std::strcpy(TheAppOptions().intl.listSeparator, ";");
    std::strcpy(TheAppOptions().intl.decimalSeparator, ",");
    Pcm(form, 2, 16, 16000);
    EXPECT_STREQ("16,000 kHz; Stereo; 16-bit", form.GetDisplayName());
    // Rate names belong to PCM only; three channels have no name.
    Fill(form, ADPCM, 3, 44100, 4096, 256, 4);
    EXPECT_STREQ("44,100 kHz; Not Supported; Not Supported", form.GetDisplayName());
}

TEST_F(FormTest, ChunkBytesAreWholeBlocksAndWords)
{
    Pcm(form, 1, 8, 11025);
    TheAppOptions().buffers.bufferSeconds = 0;
    EXPECT_EQ(22052u, form.GetChunkBytes());
    EXPECT_EQ(2, TheAppOptions().buffers.bufferSeconds);
    Fill(form, ADPCM, 1, 8000, 4000, 256, 4);
    EXPECT_EQ(8192u, form.GetChunkBytes());
    Fill(form, ADPCM, 1, 8000, 1000, 3, 4);
    EXPECT_EQ(2004u, form.GetChunkBytes());         // multiple of 3 and of 4
    Fill(form, ADPCM, 1, 8000, 0xFFFFFFFF, 1000, 4);
    EXPECT_EQ(16777000u, form.GetChunkBytes());     // capped at 16 MiB, whole blocks
    EXPECT_EQ(0u, Form().GetChunkBytes());
}

TEST_F(FormTest, LengthConversionsRoundAsDescribed)
{
    Pcm(form, 1, 8, 22050);
    Pcm(other, 2, 16, 11025);
    EXPECT_EQ(11025, form.ConvertLength(22050, &other));
    EXPECT_EQ(22050, form.ConvertLength(22050, nullptr));
    // A twentieth of a block before truncation: 396.9 stays 396, 418.95 is 419.
    EXPECT_EQ(396u, form.MsToBlocks(18));
    EXPECT_EQ(419u, form.MsToBlocks(19));
    Pcm(form, 1, 8, 11025);
    EXPECT_EQ(999, form.BlocksToMs(11024));
    EXPECT_EQ(-999, form.BlocksToMs(-11024));

    // 512 samples per block; 256 * 8000 * 3000 passes 32 bits.
    Fill(form, ADPCM, 1, 8000, 4000, 256, 4);
    EXPECT_EQ(512 * 3000, form.BlocksToSamples(3000));
    EXPECT_EQ(3000, form.SamplesToBlocks(512 * 3000));
    EXPECT_EQ(-512, form.BlocksToSamples(-1));
}

TEST_F(FormTest, HugeFieldsSaturateInsteadOfWrapping)
{
    Pcm(form, 2, 16, 44100);
    EXPECT_EQ(2646000u, form.MsToBlocks(60000));    // 176400 * 60000 passes 32 bits

    Fill(form, ADPCM, 2, 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFF, 4);
    EXPECT_EQ(2147385345, form.BlocksToSamples(32767));
    EXPECT_EQ(INT32_MAX, form.BlocksToSamples(32769));
    EXPECT_EQ(INT32_MIN, form.BlocksToSamples(-65538));     // past 64 bits
    form.Record()->nAvgBytesPerSec = 1;
    EXPECT_EQ(INT32_MIN, form.BlocksToMs(INT32_MIN));
    EXPECT_STREQ("140735340806145 bytes", form.FormatLength(INT32_MAX, LENGTH_UNIT_BYTES | LENGTH_WITH_SUFFIX));
    Fill(other, ADPCM, 1, 8000, 0xFFFFFFFF, 1, 4);
    EXPECT_EQ(INT32_MIN, form.ConvertLength(INT32_MIN, &other));
    EXPECT_EQ(0xFFFFFFFFu, other.MsToBlocks(0xFFFFFFFF));
}

TEST_F(FormTest, FormatLengthWritesEachUnit)
{
    Pcm(form, 2, 16, 11025);    // block align 4
    struct Case { int32_t n; int flags; const char* text; };
    const Case cases[] = {
        {0, LENGTH_UNIT_TIME, "0.00"}, {16537, LENGTH_UNIT_TIME | LENGTH_WITH_SUFFIX, "1.49 secs"},
        {11025, LENGTH_UNIT_DEFAULT | LENGTH_LEADING_BLANK, " 1.00"},
        {1000, LENGTH_UNIT_BYTES | LENGTH_WITH_SUFFIX, "4000 bytes"},
        {1000, LENGTH_UNIT_SAMPLES | LENGTH_WITH_SUFFIX, "1000 samples"},
        {2303, LENGTH_UNIT_KBYTES | LENGTH_WITH_SUFFIX, "8 Kbytes"},
        {123, LENGTH_UNIT_LABEL, " secs"}, {123, 7 | LENGTH_WITH_SUFFIX, ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(c.text, form.FormatLength(c.n, c.flags)) << c.n << " flags " << c.flags;

    TheAppOptions().defaultLengthUnit = LENGTH_UNIT_SAMPLES;
    EXPECT_STREQ("77 samples", form.FormatLength(77, LENGTH_WITH_SUFFIX));
    TheAppOptions().defaultLengthUnit = 0;
    std::strcpy(TheAppOptions().intl.decimalSeparator, ",");
    EXPECT_STREQ("1,00 secs", form.FormatLength(11025, LENGTH_WITH_SUFFIX));
}

TEST_F(FormTest, ParseLengthReadsEachUnit)
{
    Pcm(form, 2, 16, 11025);    // block align 4
    struct Case { const char* text; int flags; int32_t blocks; };
    const Case cases[] = {
        {nullptr, LENGTH_UNIT_KBYTES, 256}, {nullptr, LENGTH_UNIT_BYTES, 1}, {nullptr, LENGTH_UNIT_TIME, 110},
        {nullptr, 9, 1}, {"1.509 secs", LENGTH_UNIT_TIME, 16537}, {" 2.00", LENGTH_UNIT_TIME, 22050},
        {"", LENGTH_UNIT_TIME, 0}, {"4003 bytes", LENGTH_UNIT_BYTES, 1000}, {"-8", LENGTH_UNIT_BYTES, -2},
        {"77", LENGTH_UNIT_SAMPLES, 77}, {"8", LENGTH_UNIT_KBYTES, 2048}, {"42", 7, 42},
        {"99999999999", LENGTH_UNIT_TIME, INT32_MAX}, {"99999999999", LENGTH_UNIT_KBYTES, INT32_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.blocks, form.ParseLength(c.text, c.flags)) << (c.text ? c.text : "null") << " / " << c.flags;

    // The twentieth of a block: 99.95 blocks make 100, 119.94 stay 119.
    Fill(other, ADPCM, 1, 8000, 1999, 1, 4);
    EXPECT_EQ(100, other.ParseLength("0.05", LENGTH_UNIT_TIME));
    EXPECT_EQ(119, other.ParseLength("0.06", LENGTH_UNIT_TIME));
    // A default unit of 0 reads time, as it is written.
    TheAppOptions().defaultLengthUnit = 0;
    EXPECT_EQ(16537, form.ParseLength("1.50", LENGTH_UNIT_DEFAULT));
}

TEST_F(FormTest, FromTextTakesTheFirstNumbersFound)
{
    struct Case { const char* text; bool ok; const char* result; uint32_t size; };
    const Case cases[] = {
        {"<junk>", true, "1,1,11025,11025,1,8", 16}, {"1", true, "1,1,11025,11025,1,8", 16},
        {"1,2", true, "1,2,11025,22050,2,8", 16}, {"1,2,22050,5,7", true, "1,2,22050,44100,2,8", 16},
        {"1 2 22050 5 7 16 99", true, "1,2,22050,88200,4,16", 16}, {"6,1,8000", true, "6,1,8000,8000,1,8", 18},
        {"2,1,8000,4096,256,4,2,500", true, "2,1,8000,4096,256,4", 18},
        {"1,1,11025,11025,1,12", false, "1,1,11025,11025,1,8", 16}, {"1,0", false, "1,1,11025,11025,1,8", 16},
        {"2,1,4000000000,3000000000,512,4", true, "2,1,4000000000,3000000000,512,4", 18},
    };
    for (const Case& c : cases) {
        Pcm(form, 2, 16, 44100);    // replaced: the text starts from the default
        EXPECT_EQ(c.ok, form.FromText(c.text)) << c.text;
        EXPECT_STREQ(c.result, form.ToText()) << c.text;
        EXPECT_EQ(c.size, form.Size()) << c.text;
        EXPECT_TRUE(form.IsValid()) << c.text;
    }
    EXPECT_STREQ("", Form().ToText());
}

TEST_F(FormTest, TheDefaultFormatFeedsNewFormats)
{
    // A compressed default keeps its extra bytes while the text names its tag.
    Fill(TheDefaultFormat(), ADPCM, 1, 8000, 4096, 256, 4, 4);
    Bytes(TheDefaultFormat())[21] = 9;
    ASSERT_TRUE(form.FromText("2,2"));
    EXPECT_EQ(22u, form.Size());
    EXPECT_EQ(9, Bytes(form)[21]);
    ASSERT_TRUE(form.FromText("1,2,22050,0,0,16"));
    EXPECT_EQ(PCM_FORMAT_SIZE, form.Size());

    ASSERT_TRUE(TheDefaultFormat().FromText("1,2,22050,0,0,8"));
    form.SetToDefault();
    EXPECT_TRUE(form.Equals(TheDefaultFormat()));
    TheDefaultFormat().Record()->nChannels = 0;     // unusable: the built-in one
    form.SetToDefault();
    EXPECT_STREQ("1,1,11025,11025,1,8", form.ToText());
}

// A RIFF WAVE image: a "fmt " chunk declaring `declared` bytes and holding
// `body`, then an empty "data" chunk when the body is whole.
std::vector<uint8_t> WaveImage(const std::vector<uint8_t>& body, uint32_t declared, bool withFmt = true)
{
    std::vector<uint8_t> out;
    auto put = [&](const char* id, uint32_t v) {
        out.insert(out.end(), id, id + 4);
        for (int i = 0; i < 4; ++i)
            out.push_back(uint8_t(v >> (8 * i)));
    };
    put("RIFF", 0);
    out.insert(out.end(), {'W', 'A', 'V', 'E'});
    if (withFmt) {
        put("fmt ", declared);
        out.insert(out.end(), body.begin(), body.end());
        if (body.size() == declared && (declared & 1))
            out.push_back(0);
    }
    if (!withFmt || body.size() == declared)
        put("data", 0);
    uint32_t riffSize = uint32_t(out.size() - 8);
    std::memcpy(&out[4], &riffSize, 4);
    return out;
}

std::vector<uint8_t> FmtBody(uint16_t tag, uint16_t ch, uint16_t bits, size_t bytes, uint16_t cbSize = 0)
{
    KvWaveFormat r = {tag, ch, 8000, tag == WAVE_TAG_PCM ? 0u : 4096u, uint16_t(tag == WAVE_TAG_PCM ? 0 : 256),
        bits, cbSize};
    std::vector<uint8_t> b(bytes < 18 ? 18 : bytes, 0);
    std::memcpy(b.data(), &r, sizeof r);
    b.resize(bytes);
    return b;
}

class FormFileTest : public FormTest {
protected:
    // Reads the format inside the RIFF chunk, then checks that the file was
    // left where the search for the next chunk works.
    int Read(std::vector<uint8_t> image, bool expectData = true)
    {
        MemoryFileInfo info{image.data(), uint32_t(image.size())};
        CMMFile file;
        EXPECT_TRUE(file.Open(nullptr, KVIO_READ, &info));
        ChunkInfo riff, data;
        riff.fccType = MakeFourCC('W', 'A', 'V', 'E');
        EXPECT_TRUE(file.Descend(riff, nullptr, KVIO_FINDRIFF));
        int rc = form.ReadFmt(file, &riff);
        data.ckid = MakeFourCC('d', 'a', 't', 'a');
        EXPECT_EQ(expectData, file.Descend(data, &riff, KVIO_FINDCHUNK));
        return rc;
    }
};

TEST_F(FormFileTest, ReadFmtChecksTheChunkAgainstItsRecord)
{
    struct Case { const char* name; std::vector<uint8_t> body; int rc; uint32_t size; };
    const Case cases[] = {
        {"pcm16", FmtBody(WAVE_TAG_PCM, 2, 16, 16), 0, 16}, {"pcm17", FmtBody(WAVE_TAG_PCM, 1, 8, 17), 0, 17},
        {"pcm18", FmtBody(WAVE_TAG_PCM, 1, 8, 18), 0, 18}, {"adpcm18", FmtBody(ADPCM, 1, 4, 18), 0, 18},
        {"extra", FmtBody(ADPCM, 1, 4, 20, 2), 0, 20},
        {"pcm14", FmtBody(WAVE_TAG_PCM, 1, 8, 14), ERR_FILE_SHORT, 0},
        {"alaw16", FmtBody(WAVE_TAG_ALAW, 1, 8, 16), ERR_FILE_SHORT, 0},
        {"cbSize", FmtBody(ADPCM, 1, 4, 18, 4), ERR_FILE_SHORT, 0},
        {"pcm12", FmtBody(WAVE_TAG_PCM, 1, 8, 12), ERR_UNSUPPORTED_COMPRESSION, 16},
    };
    for (const Case& c : cases) {
        Pcm(form, 1, 8, 11025);
        EXPECT_EQ(c.rc, Read(WaveImage(c.body, uint32_t(c.body.size())))) << c.name;
        EXPECT_EQ(c.size, form.Size()) << c.name;
    }
    ASSERT_EQ(0, Read(WaveImage(FmtBody(WAVE_TAG_PCM, 2, 16, 16), 16)));
    EXPECT_STREQ("1,2,8000,32000,4,16", form.ToText());     // normalized
}

TEST_F(FormFileTest, ReadFmtRefusesMissingAndCutChunks)
{
    Pcm(form, 2, 16, 22050);
    EXPECT_EQ(ERR_FILE_SHORT, Read(WaveImage({}, 0, false)));
    EXPECT_STREQ("1,2,22050,88200,4,16", form.ToText());
    // The file ends inside the chunk, or its size is absurd.
    for (uint32_t declared : {16u, 0xFFFFFFF0u}) {
        EXPECT_EQ(ERR_FILE_SHORT, Read(WaveImage(FmtBody(WAVE_TAG_PCM, 1, 8, 10), declared), false)) << declared;
        EXPECT_EQ(nullptr, form.Record());
    }
}

TEST_F(FormFileTest, WriteFmtRoundTripsTheRecord)
{
    Fill(form, ADPCM, 1, 8000, 4096, 256, 4, 3);
    std::memcpy(Bytes(form) + 18, "\x01\x02\x03", 3);
    std::vector<uint8_t> image(40, 0xEE);
    MemoryFileInfo info{image.data(), uint32_t(image.size())};
    CMMFile file;
    ASSERT_TRUE(file.Open(nullptr, KVIO_READWRITE, &info));
    ASSERT_TRUE(form.WriteFmt(file));
    EXPECT_EQ(30, file.GetPosition());                  // 8 + 21 + the pad byte
    EXPECT_EQ(0, std::memcmp(image.data(), "fmt \x15\0\0\0", 8));
    EXPECT_EQ(0, image[29]);
    ASSERT_EQ(0, file.Seek(0, SEEK_ORIGIN_SET));
    ASSERT_EQ(0, other.ReadFmt(file, nullptr));
    EXPECT_TRUE(other.Equals(form));

    // A file too small for the chunk, and no record at all.
    info.size = 20;
    ASSERT_TRUE(file.Open(nullptr, KVIO_WRITE, &info));
    EXPECT_FALSE(form.WriteFmt(file));
    EXPECT_FALSE(Form().WriteFmt(file));
}

}
