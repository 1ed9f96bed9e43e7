// The converter through its public operations: pasting WAVE files of other
// formats into the document (every placement), the built-in PCM conversions
// and the stream path over a fake compression manager.
#include "sound/converter.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "edit/undo_history.h"
#include "sound/pcm_convert.h"
#include "support/reader_fixture.h"

namespace {

// A file of the fake codec holding these 16-bit samples, coded, padded with
// silence to whole blocks; with a "fact" chunk when samples >= 0.
Bytes FakeCodecFile(const FakeCodecFormat& f, const std::vector<int>& values, int64_t samples = -1)
{
    Bytes data = S16(values);
    data.resize((data.size() + f.wfx.nBlockAlign - 1) / f.wfx.nBlockAlign * f.wfx.nBlockAlign, 0);
    for (size_t i = 0; i < data.size(); i += 2)
        FakeEncodeSample(int16_t(uint16_t(data[i] | data[i + 1] << 8)), &data[i]);
    std::vector<Bytes> chunks = {Chunk("fmt ", RecordBytes(&f, sizeof f))};
    if (samples >= 0) {
        Bytes fact;
        wave::Put32(fact, uint32_t(samples));
        chunks.push_back(Chunk("fact", fact));
    }
    chunks.push_back(Chunk("data", data));
    return wave::Riff(chunks);
}

class ConverterTest : public ReaderTest {
protected:
    void TearDown() override { CloseConverter(); }

    // Converts one buffer of a source record into the empty document, appended.
    Bytes ConvertAppended(const Bytes& record, const Bytes& data)
    {
        TheSelection().editMode = EDIT_APPEND;
        auto* w = reinterpret_cast<const KvWaveFormat*>(record.data());
        EXPECT_EQ(0, OpenConverter(w, nullptr, 0));
        EXPECT_EQ(0, ConvertChunk(data.data(), int32_t(data.size() / w->nBlockAlign)));
        EXPECT_EQ(TheDocument().length, CloseConverter());
        return DocumentBytes();
    }
};

TEST_F(ConverterTest, EightBitMonoBecomesSixteenBitStereoAtTwiceTheRate)
{
    NewSound(PcmFormat(2, 16, 22050));
    Bytes source = {0, 1, 127, 128, 129, 255, 60};
    ASSERT_EQ(0, Read(wave::Pcm(1, 11025, 8, source), READ_PASTE));
    std::vector<int> expected;
    for (uint8_t b : source)
        expected.insert(expected.end(), 4, (b - 128) * 256);
    EXPECT_EQ(expected, FromS16(DocumentBytes()));
    EXPECT_EQ(int32_t(source.size() * 2), TheSelection().pendingLength);
}

TEST_F(ConverterTest, ReplaceAndInsertNeverWritePastTheirRoom)
{
    Bytes old = Pattern(100);
    NewSound(PcmFormat(1, 8, 11025), old);
    SetSelection(10, 20, ORIGIN_PROGRAM);
    ASSERT_EQ(0, Read(wave::Pcm(1, 11025, 16, S16(std::vector<int>(500, 0x4000))), READ_PASTE));
    std::fill(old.begin() + 10, old.begin() + 30, 0x40 + 128);
    EXPECT_EQ(old, DocumentBytes());

    SetSelection(50, 0, ORIGIN_PROGRAM);
    ASSERT_EQ(0, Read(wave::Pcm(1, 22050, 16, S16(std::vector<int>(31, -0x4000))), READ_PASTE));
    old.insert(old.begin() + 50, 16, uint8_t(-0x40 + 128));
    EXPECT_EQ(old, DocumentBytes());
    EXPECT_EQ(16, TheSelection().pendingLength);
}

TEST_F(ConverterTest, MixingMixesEveryChannelUpToTheSelectionEnd)
{
    std::vector<int> old;
    for (int i = 0; i < 40; i++)
        old.insert(old.end(), {1000, -2000});
    NewSound(PcmFormat(2, 16, 11025), S16(old));
    TheAppOptions().mixNew = TheAppOptions().mixOld = 50;
    SetSelection(10, 10, ORIGIN_PROGRAM);
    std::vector<int> added;
    for (int i = 0; i < 30; i++)
        added.insert(added.end(), {3000, 4000});
    ASSERT_EQ(0, Read(wave::Pcm(2, 11025, 16, S16(added)), READ_PASTE));
    for (int i = 20; i < 40; i++)
        old[i] = i % 2 ? 1000 : 2000;
    EXPECT_EQ(old, FromS16(DocumentBytes()));
}

TEST_F(ConverterTest, WideSourcesRoundToNearestAndSaturate)
{
    // Float with the extensible record's float subformat.
    Bytes floats;
    for (float f : {1.0f, -1.0f, 2.0f, 0.5f, 0.75f / 32768, std::numeric_limits<float>::quiet_NaN()})
        floats.insert(floats.end(), reinterpret_cast<uint8_t*>(&f), reinterpret_cast<uint8_t*>(&f) + 4);
    NewSound(PcmFormat(1, 16, 11025));
    KvWaveFormat f32 = {WAVE_TAG_EXTENSIBLE, 1, 11025, 44100, 4, 32, 22};
    Bytes extensible = RecordBytes(&f32, 18);
    extensible.insert(extensible.end(), {32, 0, 4, 0, 0, 0,        // valid bits, channel mask
        3, 0, 0, 0, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71});
    EXPECT_EQ(S16({32767, -32768, 32767, 16384, 1, 0}), ConvertAppended(extensible, floats));

    NewSound(PcmFormat(1, 8, 11025));
    KvWaveFormat s24 = {WAVE_TAG_PCM, 1, 11025, 33075, 3, 24, 0};
    EXPECT_EQ(Bytes({129, 128, 255}),
        ConvertAppended(RecordBytes(&s24, 16), {0x00, 0x80, 0x00, 0xFF, 0x7F, 0x00, 0xFF, 0xFF, 0x7F}));
}

TEST_F(ConverterTest, CompressedSoundNeedsAManagerAndPastesNothingWithout)
{
    NewSound(PcmFormat(1, 16, 11025), S16({1, 2, 3}));
    SetSelection(1, 0, ORIGIN_PROGRAM);
    EXPECT_EQ(ERR_CANT_CONVERT, Read(FakeCodecFile(MakeFakeCodec(1, 11025, 4), {5, 6, 7, 8}), READ_PASTE));
    EXPECT_EQ(std::vector<int>({1, 2, 3}), FromS16(DocumentBytes()));
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
}

TEST_F(ConverterTest, DecodingStopsAtTheFactCount)
{
    FakeCompressionManager acm;
    NewSound(PcmFormat(1, 16, 11025));
    std::vector<int> source;
    for (int i = 0; i < 43; i++)
        source.push_back(i * 100 - 2000);
    ASSERT_EQ(0, Read(FakeCodecFile(MakeFakeCodec(1, 11025, 10), source, 43), READ_PASTE));
    EXPECT_EQ(source, FromS16(DocumentBytes()));
}

TEST_F(ConverterTest, EncodingLosesNothingAtBufferEdgesAndPadsTheLastBlock)
{
    FakeCompressionManager acm;
    TheAppOptions().buffers.bufferSeconds = 1;  // 11025 frames a buffer, not whole codec blocks
    NewSound(MakeFakeCodec(1, 11025, 100).wfx);
    std::vector<int> source(24950);
    for (size_t i = 0; i < source.size(); i++)
        source[i] = int(i % 2000) - 1000;
    ASSERT_EQ(0, Read(wave::Pcm(1, 11025, 16, S16(source)), READ_PASTE));
    EXPECT_EQ(250, TheDocument().length);
    source.resize(25000, 0);
    Bytes coded = DocumentBytes();
    for (size_t i = 0; i < source.size(); i++)
        ASSERT_EQ(source[i], FakeDecodeSample(&coded[2 * i])) << i;
    ASSERT_FALSE(acm.convertFlags.empty());
    EXPECT_EQ(STREAM_CONVERT_START, acm.convertFlags.front());
    EXPECT_EQ(STREAM_CONVERT_END, acm.convertFlags.back());
    EXPECT_EQ(acm.opens, acm.closes);
}

TEST_F(ConverterTest, StepsChainWhenOneStreamCannotDoIt)
{
    FakeCompressionManager acm;
    // Codec stereo 22050 to 8-bit mono 11025: decode, then the built-in step.
    NewSound(PcmFormat(1, 8, 11025));
    std::vector<int> source;
    for (int i = 0; i < 60; i++)
        source.insert(source.end(), {i * 256 + 0x80, -i * 256});
    ASSERT_EQ(0, Read(FakeCodecFile(MakeFakeCodec(2, 22050, 7), source, 60), READ_PASTE));
    Bytes expected;
    for (int i = 0; i < 60; i += 2)
        expected.push_back(uint8_t(i + 128));
    EXPECT_EQ(expected, DocumentBytes());
}


// Converts the source blocks with one converter, cut into uneven buffers.
Bytes ConvertInPieces(const KvWaveFormat& from, const KvWaveFormat& to, const Bytes& source)
{
    PcmConverter converter;
    EXPECT_TRUE(converter.Open(&from, &to));
    Bytes out;
    int32_t left = int32_t(source.size() / from.nBlockAlign);
    const uint8_t* in = source.data();
    for (int32_t n : {7, 1, 13, INT32_MAX}) {
        n = std::min(n, left);
        size_t at = out.size();
        out.resize(at + size_t(converter.OutputBlocks(n)) * to.nBlockAlign);
        converter.Convert(in, n, out.data() + at);
        in += size_t(n) * from.nBlockAlign;
        left -= n;
    }
    return out;
}

// A sample as a 16-bit value: 8-bit ones in the high byte.
int Sample16At(const uint8_t* p, int bits)
{
    return bits == 8 ? (p[0] - 128) * 256 : int16_t(p[0] | p[1] << 8);
}

// Every mix of 8 and 16 bits, mono and stereo, down and up in rate: each
// output sample is the held source sample of its channel (a mono source
// feeds both), widened exactly or cut to its high byte, whatever the cuts.
TEST(PcmConverterTest, EveryEditorLayoutHoldsTheEarlierSampleAcrossBuffers)
{
    const std::pair<uint16_t, uint16_t> layouts[] = {{8, 1}, {8, 2}, {16, 1}, {16, 2}};    // bits, channels
    const std::pair<uint32_t, uint32_t> rates[] = {{11025, 8000}, {8000, 11025}};
    for (auto a : layouts)
        for (auto b : layouts)
            for (auto r : rates) {
                KvWaveFormat from = PcmFormat(a.second, a.first, r.first);
                KvWaveFormat to = PcmFormat(b.second, b.first, r.second);
                SCOPED_TRACE(testing::Message() << a.first << "/" << a.second << " -> " << b.first << "/" << b.second
                                                << " at " << r.first << " -> " << r.second);
                Bytes source(101u * from.nBlockAlign);
                for (size_t i = 0; i < source.size(); i++)
                    source[i] = uint8_t(i * 37 + 11);
                Bytes out = ConvertInPieces(from, to, source);
                size_t blocks = size_t(PcmConverter::StreamLength(101, r.first, r.second));
                ASSERT_EQ(blocks * to.nBlockAlign, out.size());
                uint64_t step = (uint64_t(r.first) << 16) / r.second;
                for (size_t k = 0; k < blocks; k++)
                    for (int c = 0; c < b.second; c++) {
                        size_t held = (k * step >> 16) * from.nBlockAlign + size_t(c < a.second ? c : 0) * a.first / 8;
                        int value = Sample16At(&source[held], a.first);
                        int expected = b.first == 8 ? (value >> 8) * 256 : value;
                        ASSERT_EQ(expected, Sample16At(&out[k * to.nBlockAlign + size_t(c) * b.first / 8], b.first))
                            << k << " " << c;
                    }
            }
}

}
