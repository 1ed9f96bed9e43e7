#include "sound/form.h"

#include <climits>
#include <cstring>

#include <gtest/gtest.h>

#include "support/core_state.h"
#include "support/fake_compression_manager.h"

namespace {

enum : uint16_t { ADPCM = 2 };

// A record field by field; a non-PCM one carries cbSize extra bytes (zero).
void Fill(Form& f, uint16_t tag, uint16_t ch, uint32_t rate, uint32_t avg, uint16_t align, uint16_t bits,
    uint16_t cbSize = 0)
{
    ASSERT_TRUE(f.SetSize(tag == WAVE_TAG_PCM ? PCM_FORMAT_SIZE : 18u + cbSize));
    KvWaveFormat r = {tag, ch, rate, avg, align, bits, cbSize};
    std::memcpy(f.Record(), &r, tag == WAVE_TAG_PCM ? PCM_FORMAT_SIZE : 18u);
}

void Pcm(Form& f, uint16_t ch, uint16_t bits, uint32_t rate)
{
    KvWaveFormat r = PcmFormat(ch, bits, rate);
    ASSERT_TRUE(f.Set(&r));
}

uint8_t* RecordBytes(Form& f) { return reinterpret_cast<uint8_t*>(f.Record()); }

class FormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetAppOptions();
    }

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
    const Case invalid[] = {
        {WAVE_TAG_PCM, 0, 8, 0, 11025, 0}, {WAVE_TAG_PCM, 1, 8, 1, 0, 0}, {WAVE_TAG_PCM, 1, 12, 2, 11025, 22050},
        {WAVE_TAG_PCM, 2, 16, 2, 44100, 88200}, {WAVE_TAG_PCM, 2, 16, 4, 1u << 30, 0},   // 4 * 2^30 wraps to 0
        {ADPCM, 1, 4, 256, 8000, 0}, {WAVE_TAG_ALAW, 1, 8, 0, 8000, 8000},
    };
    for (const Case& c : invalid) {
        Fill(form, c.tag, c.ch, c.rate, c.avg, c.align, c.bits);
        EXPECT_FALSE(form.IsValid()) << c.tag << "/" << c.ch << "/" << c.bits << "/" << c.avg;
    }
}

TEST_F(FormTest, RecordsAreComparedWithTheirExtraBytes)
{
    Fill(form, ADPCM, 1, 8000, 4096, 256, 4, 32);
    ASSERT_TRUE(other.Set(form.Record()));
    EXPECT_TRUE(form.Equals(other));
    RecordBytes(other)[49] = 7;                 // an extra byte only
    EXPECT_FALSE(form.Equals(other));
}

TEST_F(FormTest, DisplayNamesAskTheCompressionManagerForTagNames)
{
    Pcm(form, 1, 8, 11025);
    EXPECT_STREQ("Voice Quality (11.025 kHz), Mono, 8-bit", form.GetDisplayName());
    Fill(other, FAKE_CODEC_TAG, 1, 8000, 4096, 256, 4);
    ASSERT_TRUE(form.Set(other));
    EXPECT_STREQ("Not Supported", form.GetTypeName());     // no manager
    FakeCompressionManager acm;
    ASSERT_TRUE(form.Set(other));                          // a new record asks again
    EXPECT_STREQ("Fake Codec", form.GetTypeName());
    // Rate names belong to PCM only; three channels have no name.
    std::strcpy(TheAppOptions().intl.listSeparator, ";");
    std::strcpy(TheAppOptions().intl.decimalSeparator, ",");
    Fill(form, ADPCM, 3, 44100, 4096, 256, 4);
    EXPECT_STREQ("44,100 kHz; Not Supported; Not Supported", form.GetDisplayName());
}

TEST_F(FormTest, ChunkBytesAreWholeBlocksAndWords)
{
    Pcm(form, 1, 8, 11025);
    TheAppOptions().buffers.bufferSeconds = 0;
    EXPECT_EQ(22052u, form.GetChunkBytes());
    EXPECT_EQ(2, TheAppOptions().buffers.bufferSeconds);
    Fill(form, ADPCM, 1, 8000, 1000, 3, 4);
    EXPECT_EQ(2004u, form.GetChunkBytes());         // multiple of 3 and of 4
    Fill(form, ADPCM, 1, 8000, 0xFFFFFFFF, 1000, 4);
    EXPECT_EQ(16777000u, form.GetChunkBytes());     // capped at 16 MiB, whole blocks
}

TEST_F(FormTest, LengthConversionsRoundAndSaturate)
{
    Pcm(form, 1, 8, 22050);
    Pcm(other, 2, 16, 11025);
    EXPECT_EQ(11025, form.ConvertLength(22050, &other));
    // A twentieth of a block before truncation: 396.9 stays 396, 418.95 is 419.
    EXPECT_EQ(396u, form.MsToBlocks(18));
    EXPECT_EQ(419u, form.MsToBlocks(19));
    EXPECT_EQ(-999, other.BlocksToMs(-11024));
    Pcm(form, 2, 16, 44100);
    EXPECT_EQ(2646000u, form.MsToBlocks(60000));    // 176400 * 60000 passes 32 bits
    // 512 samples per block; 256 * 8000 * 3000 passes 32 bits.
    Fill(form, ADPCM, 1, 8000, 4000, 256, 4);
    EXPECT_EQ(512 * 3000, form.BlocksToSamples(3000));

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

TEST_F(FormTest, LengthTextsInEachUnit)
{
    Pcm(form, 2, 16, 11025);    // block align 4
    const struct { int32_t n; int flags; const char* text; } formatted[] = {
        {0, LENGTH_UNIT_TIME, "0.00"}, {16537, LENGTH_UNIT_TIME | LENGTH_WITH_SUFFIX, "1.49 secs"},
        {11025, LENGTH_UNIT_DEFAULT | LENGTH_LEADING_BLANK, " 1.00"},
        {1000, LENGTH_UNIT_BYTES | LENGTH_WITH_SUFFIX, "4000 bytes"},
        {1000, LENGTH_UNIT_SAMPLES | LENGTH_WITH_SUFFIX, "1000 samples"},
        {2303, LENGTH_UNIT_KBYTES | LENGTH_WITH_SUFFIX, "8 Kbytes"},
        {123, LENGTH_UNIT_LABEL, " secs"}, {123, 7 | LENGTH_WITH_SUFFIX, ""},
    };
    for (const auto& c : formatted)
        EXPECT_STREQ(c.text, form.FormatLength(c.n, c.flags)) << c.n << " flags " << c.flags;
    const struct { const char* text; int flags; int32_t blocks; } parsed[] = {
        {nullptr, LENGTH_UNIT_KBYTES, 256}, {nullptr, LENGTH_UNIT_BYTES, 1}, {nullptr, LENGTH_UNIT_TIME, 110},
        {nullptr, 9, 1}, {"1.509 secs", LENGTH_UNIT_TIME, 16537}, {" 2.00", LENGTH_UNIT_TIME, 22050},
        {"", LENGTH_UNIT_TIME, 0}, {"4003 bytes", LENGTH_UNIT_BYTES, 1000}, {"-8", LENGTH_UNIT_BYTES, -2},
        {"77", LENGTH_UNIT_SAMPLES, 77}, {"8", LENGTH_UNIT_KBYTES, 2048}, {"42", 7, 42},
        {"99999999999", LENGTH_UNIT_TIME, INT32_MAX}, {"99999999999", LENGTH_UNIT_KBYTES, INT32_MAX},
    };
    for (const auto& c : parsed)
        EXPECT_EQ(c.blocks, form.ParseLength(c.text, c.flags)) << (c.text ? c.text : "null") << " / " << c.flags;
    // The twentieth of a block: 99.95 blocks make 100, 119.94 stay 119.
    Fill(other, ADPCM, 1, 8000, 1999, 1, 4);
    EXPECT_EQ(100, other.ParseLength("0.05", LENGTH_UNIT_TIME));
    EXPECT_EQ(119, other.ParseLength("0.06", LENGTH_UNIT_TIME));
    std::strcpy(TheAppOptions().intl.decimalSeparator, ",");
    EXPECT_STREQ("1,00 secs", form.FormatLength(11025, LENGTH_WITH_SUFFIX));
}

TEST_F(FormTest, FromTextTakesTheFirstNumbersFoundOverTheDefault)
{
    const struct { const char* text; bool ok; const char* result; uint32_t size; } cases[] = {
        {"<junk>", true, "1,1,11025,11025,1,8", 16}, {"1,2", true, "1,2,11025,22050,2,8", 16},
        {"1,2,22050,5,7", true, "1,2,22050,44100,2,8", 16},
        {"1 2 22050 5 7 16 99", true, "1,2,22050,88200,4,16", 16}, {"6,1,8000", true, "6,1,8000,8000,1,8", 18},
        {"2,1,8000,4096,256,4,2,500", true, "2,1,8000,4096,256,4", 18},
        {"1,1,11025,11025,1,12", false, "1,1,11025,11025,1,8", 16}, {"1,0", false, "1,1,11025,11025,1,8", 16},
        {"2,1,4000000000,3000000000,512,4", true, "2,1,4000000000,3000000000,512,4", 18},
    };
    for (const auto& c : cases) {
        Pcm(form, 2, 16, 44100);    // replaced: the text starts from the default
        EXPECT_EQ(c.ok, form.FromText(c.text)) << c.text;
        EXPECT_STREQ(c.result, form.ToText()) << c.text;
        EXPECT_EQ(c.size, form.Size()) << c.text;
        EXPECT_TRUE(form.IsValid()) << c.text;
    }
    // A compressed default keeps its extra bytes while the text names its tag.
    Fill(TheDefaultFormat(), ADPCM, 1, 8000, 4096, 256, 4, 4);
    RecordBytes(TheDefaultFormat())[21] = 9;
    ASSERT_TRUE(form.FromText("2,2"));
    EXPECT_EQ(22u, form.Size());
    EXPECT_EQ(9, RecordBytes(form)[21]);
    TheDefaultFormat().Record()->nChannels = 0;     // unusable: the built-in one
    form.SetToDefault();
    EXPECT_STREQ("1,1,11025,11025,1,8", form.ToText());
}

TEST_F(FormTest, EqualsGivesOneAnswerWhicheverSideHoldsTheLongerRecord)
{
    // A "fmt " chunk longer than its cbSize says is kept whole when read;
    // the same format set from a record holds only the bytes cbSize gives.
    Form read, set;
    ASSERT_TRUE(read.SetSize(40));                   // 20 claimed, 20 more held
    for (int i = 0; i < 40; i++)
        RecordBytes(read)[i] = uint8_t(i * 7);
    KvWaveFormat r = {ADPCM, 1, 8000, 4096, 256, 4, 2};
    std::memcpy(read.Record(), &r, 18);
    Fill(set, ADPCM, 1, 8000, 4096, 256, 4, 2);
    ASSERT_EQ(20u, set.Size());
    std::memcpy(RecordBytes(set), RecordBytes(read), 20);
    EXPECT_TRUE(read.Equals(set));
    EXPECT_TRUE(set.Equals(read));
    RecordBytes(set)[19] ^= 1;                       // an extra byte differs
    EXPECT_FALSE(read.Equals(set));
    EXPECT_FALSE(set.Equals(read));
}

}
