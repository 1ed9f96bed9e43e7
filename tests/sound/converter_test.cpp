// The converter through its public operations: pasting WAVE files of other
// formats into the document (every placement), the built-in PCM conversions
// and the stream path over a fake compression manager.
#include "sound/converter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "app/app.h"
#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "app/error_message.h"
#include "edit/actions.h"
#include "edit/undo_history.h"
#include "sound/document.h"
#include "sound/pcm_convert.h"
#include "sound/wave_file.h"
#include "support/fake_compression_manager.h"
#include "support/test_host.h"
#include "support/wave_builder.h"
#include "view/selection_ops.h"

namespace {

using wave::Bytes;
using wave::Chunk;

Bytes S16(const std::vector<int>& values)
{
    Bytes b;
    for (int v : values)
        wave::Put16(b, uint32_t(uint16_t(int16_t(v))));
    return b;
}

std::vector<int> FromS16(const Bytes& b)
{
    std::vector<int> v;
    for (size_t i = 0; i + 1 < b.size(); i += 2)
        v.push_back(int16_t(uint16_t(b[i] | b[i + 1] << 8)));
    return v;
}

Bytes Record(const void* record, size_t size)
{
    auto p = static_cast<const uint8_t*>(record);
    return Bytes(p, p + size);
}

// A file of the fake codec holding these 16-bit samples, coded, padded with
// silence to whole blocks; with a "fact" chunk when samples >= 0.
Bytes FakeCodecFile(const FakeCodecFormat& f, const std::vector<int>& values, int64_t samples = -1)
{
    Bytes data = S16(values);
    data.resize((data.size() + f.wfx.nBlockAlign - 1) / f.wfx.nBlockAlign * f.wfx.nBlockAlign, 0);
    for (size_t i = 0; i < data.size(); i += 2) {
        int16_t v = int16_t(uint16_t(data[i] | data[i + 1] << 8));
        FakeEncodeSample(v, &data[i]);
    }
    std::vector<Bytes> chunks = {Chunk("fmt ", Record(&f, sizeof f))};
    if (samples >= 0) {
        Bytes fact;
        wave::Put32(fact, uint32_t(samples));
        chunks.push_back(Chunk("fact", fact));
    }
    chunks.push_back(Chunk("data", data));
    return wave::Riff(chunks);
}

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetSelection();
        ResetActionLifecycle();
    }
    void TearDown() override { CloseConverter(); }

    void NewDoc(const KvWaveFormat& f, const Bytes& data = {})
    {
        ASSERT_EQ(0, doc.NewSound(nullptr, &f));
        int32_t n = int32_t(data.size() / f.nBlockAlign);
        if (n > 0) {
            ASSERT_TRUE(doc.InsertSpace(0, n));
            doc.SetChannel(255);
            ASSERT_EQ(n, doc.WriteBlocks(0, data.data(), n));
        }
        SetSelection(0, 0, ORIGIN_PROGRAM);
    }
    void NewPcm(uint16_t ch, uint32_t rate, uint16_t bits, const Bytes& data = {})
    {
        uint16_t align = uint16_t(ch * bits / 8);
        NewDoc(KvWaveFormat{WAVE_TAG_PCM, ch, rate, rate * align, align, bits, 0}, data);
    }

    int Paste(Bytes image)
    {
        MemoryFileInfo memory{image.data(), uint32_t(image.size())};
        return LoadWave(nullptr, READ_PASTE, &memory);
    }

    Bytes DocBytes()
    {
        Bytes b(size_t(doc.length) * size_t(doc.format.BlockAlign()));
        doc.SetChannel(255);
        EXPECT_EQ(doc.length, doc.CopyOut(0, b.data(), doc.length));
        doc.ReleaseCursor();
        return b;
    }

    // The document's fake-codec blocks decoded.
    std::vector<int> DecodedDoc()
    {
        Bytes b = DocBytes();
        std::vector<int> v;
        for (size_t i = 0; i + 1 < b.size(); i += 2)
            v.push_back(FakeDecodeSample(&b[i]));
        return v;
    }

    // Converts one buffer of a raw source record into the empty document in
    // append mode.
    Bytes ConvertAppended(const Bytes& record, const Bytes& data)
    {
        TheSelection().editMode = EDIT_APPEND;
        auto* w = reinterpret_cast<const KvWaveFormat*>(record.data());
        EXPECT_EQ(0, OpenConverter(w, nullptr, 0));
        EXPECT_EQ(0, ConvertChunk(data.data(), int32_t(data.size() / w->nBlockAlign)));
        EXPECT_EQ(doc.length, CloseConverter());
        return DocBytes();
    }

    CKV_Document& doc = TheDocument();
    TestHost host;
};

TEST_F(ConverterTest, EightBitMonoBecomesSixteenBitStereoAtTwiceTheRate)
{
    NewPcm(2, 22050, 16);
    Bytes source = {0, 1, 127, 128, 129, 255, 60};
    ASSERT_EQ(0, Paste(wave::Pcm(1, 11025, 8, source)));
    std::vector<int> expected;
    for (uint8_t b : source)
        for (int i = 0; i < 4; i++)
            expected.push_back((b - 128) * 256);
    EXPECT_EQ(expected, FromS16(DocBytes()));
    EXPECT_EQ(int32_t(source.size() * 2), TheSelection().pendingLength);
}

TEST_F(ConverterTest, SixteenBitStereoBecomesTheLeftHighBytePlus128)
{
    NewPcm(1, 11025, 8);
    ASSERT_EQ(0, Paste(wave::Pcm(2, 11025, 16, S16({0x1234, -5, -1, 100, -32768, 32767, 0x00FF, 0, 32767, -1}))));
    EXPECT_EQ(Bytes({0x92, 127, 0, 128, 255}), DocBytes());
}

TEST_F(ConverterTest, DownsamplingStepsByTheTruncatedRatioAcrossBufferEdges)
{
    NewPcm(1, 8000, 16);
    // Three read buffers of two seconds each, the last one partial.
    const int n = 100003;
    std::vector<int> source(n);
    for (int i = 0; i < n; i++)
        source[i] = (i * 7) % 32768;
    ASSERT_EQ(0, Paste(wave::Pcm(1, 22050, 16, S16(source))));
    const uint64_t step = 180633;       // 2.75625 in 16.16, truncated
    std::vector<int> expected;
    for (uint64_t pos = 0; (pos >> 16) < uint64_t(n); pos += step)
        expected.push_back(source[pos >> 16]);
    EXPECT_EQ(expected, FromS16(DocBytes()));
    EXPECT_EQ(int32_t(expected.size()), TheSelection().pendingLength);
}

TEST_F(ConverterTest, ReplaceAndInsertNeverWritePastTheirRoom)
{
    Bytes old(100);
    for (size_t i = 0; i < old.size(); i++)
        old[i] = uint8_t(i);
    NewPcm(1, 11025, 8, old);
    std::vector<int> loud(500, 0x4000);

    SetSelection(10, 20, ORIGIN_PROGRAM);
    ASSERT_EQ(0, Paste(wave::Pcm(1, 11025, 16, S16(loud))));
    Bytes expected = old;
    std::fill(expected.begin() + 10, expected.begin() + 30, 0x40 + 128);
    EXPECT_EQ(expected, DocBytes());

    // Inserted at a cursor: the sound after it moves, untouched.
    SetSelection(50, 0, ORIGIN_PROGRAM);
    ASSERT_EQ(0, Paste(wave::Pcm(1, 22050, 16, S16(std::vector<int>(31, -0x4000)))));
    expected.insert(expected.begin() + 50, 16, uint8_t(-0x40 + 128));
    EXPECT_EQ(expected, DocBytes());
}

TEST_F(ConverterTest, MixingTheSameFormatMixesEveryChannelUpToTheSelectionEnd)
{
    std::vector<int> old;
    for (int i = 0; i < 40; i++) {
        old.push_back(1000);
        old.push_back(-2000);
    }
    NewPcm(2, 11025, 16, S16(old));
    TheAppOptions().mixNew = 50;
    TheAppOptions().mixOld = 50;
    SetSelection(10, 10, ORIGIN_PROGRAM);
    std::vector<int> added;
    for (int i = 0; i < 30; i++) {
        added.push_back(3000);
        added.push_back(4000);
    }
    ASSERT_EQ(0, Paste(wave::Pcm(2, 11025, 16, S16(added))));
    std::vector<int> expected = old;
    for (int i = 10; i < 20; i++) {
        expected[2 * i] = 2000;
        expected[2 * i + 1] = 1000;
    }
    EXPECT_EQ(expected, FromS16(DocBytes()));
}

TEST_F(ConverterTest, WideSourcesRoundToNearestAndSaturate)
{
    NewPcm(1, 11025, 16);
    KvWaveFormat s24 = {WAVE_TAG_PCM, 1, 11025, 33075, 3, 24, 0};
    Bytes d24 = {0xFF, 0xFF, 0x7F, 0x80, 0xFF, 0x7F, 0x80, 0x00, 0x00, 0x7F, 0x00, 0x00,
                 0x7F, 0xFF, 0xFF, 0x00, 0x00, 0x80};
    EXPECT_EQ(S16({32767, 32767, 1, 0, -1, -32768}), ConvertAppended(Record(&s24, 16), d24));

    // Float with the extensible record's float subformat.
    Bytes floats;
    for (float f : {1.0f, -1.0f, 2.0f, 0.5f, 0.75f / 32768, std::numeric_limits<float>::quiet_NaN()}) {
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        wave::Put32(floats, bits);
    }
    NewPcm(1, 11025, 16);
    KvWaveFormat f32 = {WAVE_TAG_EXTENSIBLE, 1, 11025, 44100, 4, 32, 22};
    Bytes extensible = Record(&f32, 18);
    wave::Put16(extensible, 32);                // valid bits
    wave::Put32(extensible, 4);                 // channel mask
    Bytes guid = {3, 0, 0, 0, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    extensible.insert(extensible.end(), guid.begin(), guid.end());
    EXPECT_EQ(S16({32767, -32768, 32767, 16384, 1, 0}), ConvertAppended(extensible, floats));

    // To 8 bits a wide source rounds too.
    NewPcm(1, 11025, 8);
    Bytes half = {0x00, 0x80, 0x00, 0xFF, 0x7F, 0x00, 0xFF, 0xFF, 0x7F};
    EXPECT_EQ(Bytes({129, 128, 255}), ConvertAppended(Record(&s24, 16), half));
}

TEST_F(ConverterTest, CompressedSoundNeedsAManagerAndPastesNothingWithout)
{
    NewPcm(1, 11025, 16, S16({1, 2, 3}));
    SetSelection(1, 0, ORIGIN_PROGRAM);
    FakeCodecFormat f = MakeFakeCodec(1, 11025, 4);
    EXPECT_EQ(ERR_CANT_CONVERT, Paste(FakeCodecFile(f, {5, 6, 7, 8})));
    EXPECT_EQ(std::vector<int>({1, 2, 3}), FromS16(DocBytes()));
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
}

TEST_F(ConverterTest, DecodingStopsAtTheFactCount)
{
    FakeCompressionManager acm;
    NewPcm(1, 11025, 16);
    FakeCodecFormat f = MakeFakeCodec(1, 11025, 10);
    std::vector<int> source;
    for (int i = 0; i < 43; i++)
        source.push_back(i * 100 - 2000);
    ASSERT_EQ(0, Paste(FakeCodecFile(f, source, 43)));
    EXPECT_EQ(source, FromS16(DocBytes()));
}

TEST_F(ConverterTest, EncodingLosesNothingAtBufferEdgesAndPadsTheLastBlock)
{
    FakeCompressionManager acm;
    TheAppOptions().buffers.bufferSeconds = 1;  // 11025 frames a buffer, not whole codec blocks
    FakeCodecFormat f = MakeFakeCodec(1, 11025, 100);
    NewDoc(f.wfx);
    std::vector<int> source(24950);
    for (size_t i = 0; i < source.size(); i++)
        source[i] = int(i % 2000) - 1000;
    ASSERT_EQ(0, Paste(wave::Pcm(1, 11025, 16, S16(source))));
    EXPECT_EQ(250, doc.length);
    std::vector<int> expected = source;
    expected.resize(25000, 0);
    EXPECT_EQ(expected, DecodedDoc());
    ASSERT_FALSE(acm.convertFlags.empty());
    EXPECT_EQ(STREAM_CONVERT_START, acm.convertFlags.front());
    EXPECT_EQ(STREAM_CONVERT_END, acm.convertFlags.back());
    EXPECT_EQ(acm.opens, acm.closes);
}

TEST_F(ConverterTest, StepsChainWhenOneStreamCannotDoIt)
{
    FakeCompressionManager acm;
    // Codec stereo 22050 to 8-bit mono 11025: decode, then the built-in step.
    NewPcm(1, 11025, 8);
    std::vector<int> source;
    for (int i = 0; i < 60; i++) {
        source.push_back(i * 256 + 0x80);
        source.push_back(-i * 256);
    }
    ASSERT_EQ(0, Paste(FakeCodecFile(MakeFakeCodec(2, 22050, 7), source, 60)));
    Bytes expected;
    for (int i = 0; i < 60; i += 2)
        expected.push_back(uint8_t(i + 128));
    EXPECT_EQ(expected, DocBytes());

    // Codec to codec at another rate: decode, step, encode.
    NewDoc(MakeFakeCodec(1, 11025, 8).wfx);
    std::vector<int> mono;
    for (int i = 0; i < 40; i++)
        mono.push_back(i * 3);
    ASSERT_EQ(0, Paste(FakeCodecFile(MakeFakeCodec(1, 22050, 5), mono, 40)));
    std::vector<int> halved;
    for (int i = 0; i < 40; i += 2)
        halved.push_back(i * 3);
    halved.resize(24, 0);
    EXPECT_EQ(halved, DecodedDoc());
}

}
