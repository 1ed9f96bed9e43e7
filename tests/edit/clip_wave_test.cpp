#include "edit/clip_wave.h"

#include "base/app_options.h"
#include "base/error_message.h"
#include "edit/undo_history.h"
#include "sound/wave_file.h"
#include "support/effect_fixture.h"
#include "support/wave_builder.h"

namespace {

class ClipWaveTest : public EffectTest {
protected:
    // The image of the current selection, as Copy puts it on the clipboard.
    Bytes Render(bool selection = true)
    {
        Bytes image(ClipWaveSize(selection));
        EXPECT_FALSE(image.empty());
        EXPECT_TRUE(RenderClipWave(selection, image.data(), uint32_t(image.size())));
        return image;
    }

    int Paste(const Bytes& image) { return ReadClipWave(image.data(), image.size(), READ_PASTE); }
};

Bytes Image16(uint16_t channels, uint32_t rate, const Samples& samples)
{
    return wave::Pcm(channels, rate, 16, SampleBytes(16, samples));
}

// The image another program reads is a plain PCM WAVE file of the selection,
// and a block larger than its image (allocations are rounded up) pastes only
// the image's samples.
TEST_F(ClipWaveTest, TheSelectionRendersAsAPlainWaveFileThatPastesBack)
{
    Load(2, 16, {1, -1, 2, -2, 3, -3, 4, -4}, 1, 2);
    Bytes image = Render();
    EXPECT_EQ(Image16(2, rate, {2, -2, 3, -3}), image);
    EXPECT_EQ(Image16(2, rate, {1, -1, 2, -2, 3, -3, 4, -4}), Render(false));

    image.resize(image.size() + 64, 0x7F);
    SetSelection(4, 0, ORIGIN_PROGRAM);
    ASSERT_EQ(0, Paste(image));
    EXPECT_EQ(Samples({1, -1, 2, -2, 3, -3, 4, -4, 2, -2, 3, -3}), Read());
    ExpectSelection(4, 2);
    ASSERT_EQ(0, ReadClipWave(image.data(), image.size(), READ_MEASURE));
    EXPECT_EQ(2, TheSelection().pendingLength);

    // A compressed sound keeps its format record (18 bytes) and its blocks.
    const KvWaveFormat alaw = {WAVE_TAG_ALAW, 2, 8000, 16000, 2, 8, 0};
    SetSound(alaw, Bytes(40, 0xD5), 0, 3, 7);
    Bytes compressed = Render();
    EXPECT_EQ(wave::Riff({wave::Chunk("fmt ", wave::Fmt(WAVE_TAG_ALAW, 2, 8000, 8, 0)),
                  wave::Chunk("data", Bytes(14, 0xD5))}), compressed);
}

// Where the sound goes and how long it is, by the edit mode; every paste
// undoes to the original.
TEST_F(ClipWaveTest, PasteInsertsReplacesOrMixesAndUndoesToTheOriginal)
{
    struct Case {
        const char* name;
        int32_t mixOld, mixNew;
        Samples old, pasted;
        int32_t selStart, selLength;
        Samples expected;
        int32_t newSelLength;
        size_t steps;           // a longer selection is shortened as a step of its own
    } cases[] = {
        {"insert at the cursor", 0, 100, {10, 20, 30, 40}, {1000, 2000, 3000}, 2, 0,
            {10, 20, 1000, 2000, 3000, 30, 40}, 3, 1},
        {"replace a longer selection", 0, 100, {10, 20, 30, 40, 50, 60}, {1000, 2000, 3000}, 1, 5,
            {10, 1000, 2000, 3000, 50, 60}, 3, 2},
        {"replace a shorter selection", 0, 100, {10, 20, 30, 40, 50, 60}, {1000, 2000, 3000}, 1, 2,
            {10, 1000, 2000, 40, 50, 60}, 2, 1},
        {"equal mix", 100, 100, {10, 20, 30, 40}, {1000, 2000, 3000}, 0, 3, {1010, 2020, 3030, 40}, 3, 1},
        {"mix 3:1", 100, 51, {100, 200, 300}, {100, 200, 300}, 0, 3, {151, 302, 453}, 3, 1},
        {"equal mix clamps", 100, 100, {20000, -20000, 5}, {20000, -20000}, 0, 2, {32767, -32768, 5}, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TheAppOptions().mixOld = c.mixOld;
        TheAppOptions().mixNew = c.mixNew;
        Bytes image = Image16(1, rate, c.pasted);
        Load(1, 16, c.old, c.selStart, c.selLength);
        Bytes before = Raw();
        ASSERT_EQ(0, Paste(image));
        EXPECT_EQ(c.expected, Read());
        ExpectSelection(c.selStart, c.newSelLength);
        EXPECT_EQ(c.steps, size_t(TheUndoHistory().Count()));
        EXPECT_EQ(1, doc.changeCount);
        for (size_t i = 0; i < c.steps; i++)
            ASSERT_EQ(0, ActUndo());
        EXPECT_EQ(before, Raw());
        ExpectSelection(c.selStart, c.selLength);
    }
}

// 1000 samples of 8-bit mono 11025 Hz become 4000 frames of 16-bit stereo
// 44100 Hz, each value 256 times as large in both channels.
TEST_F(ClipWaveTest, APasteOfAnotherFormatIsConvertedFirst)
{
    Bytes eight(1000);
    for (size_t i = 0; i < eight.size(); i++)
        eight[i] = uint8_t(128 + (int(i % 200) - 100));
    SetSound(PcmFormat(2, 16, 44100), {});
    ASSERT_EQ(0, Paste(wave::Pcm(1, 11025, 8, eight)));
    ASSERT_EQ(4000, doc.length);
    Samples out = Read();
    for (int32_t i = 0; i < 4000; i++) {
        int expected = (eight[size_t(i / 4)] - 128) * 256;
        ASSERT_EQ(expected, out[size_t(2 * i)]) << i;
        ASSERT_EQ(expected, out[size_t(2 * i + 1)]) << i;
    }
}

// Images from other programs are not trusted: each of these is refused with
// its error before anything changes, and the refusal leaves the showing to
// the shell.
TEST_F(ClipWaveTest, DamagedImagesAreRefusedAndChangeNothing)
{
    Bytes good = Image16(1, rate, {1, 2, 3, 4});
    auto with = [&](size_t at, uint32_t value, size_t bytes = 4) {
        Bytes b = good;
        for (size_t i = 0; i < bytes; i++)
            b[at + i] = uint8_t(value >> (8 * i));
        return b;
    };
    Bytes hugeData = wave::Riff({wave::Chunk("fmt ", wave::Fmt(1, 1, 11025, 16)),
        wave::Chunk("data", Bytes(1024 - 44, 1), 1000000000)});
    Bytes dataFirst = wave::Riff({wave::Chunk("data", Bytes(8, 1)), wave::Chunk("fmt ", wave::Fmt(1, 1, 11025, 16))});
    Bytes shortFmt = wave::Riff({wave::Chunk("fmt ", Bytes(12, 1)), wave::Chunk("data", Bytes(8, 1))});
    struct Case {
        const char* name;
        Bytes image;
        int error;
    } cases[] = {
        {"RIFF size 0x7FFFFFFF in 44 bytes", with(4, 0x7FFFFFFF), ERR_FILE_SHORT},
        {"data of 10^9 bytes in 1 KB", hugeData, ERR_FILE_SHORT},
        {"block align 0", with(20 + 12, 0, 2), ERR_NOT_SOUND_FILE},
        {"no channels", with(20 + 2, 0, 2), ERR_NOT_SOUND_FILE},
        {"no rate", with(20 + 4, 0), ERR_NOT_SOUND_FILE},
        {"not RIFF", with(0, 0x46464952 + 1), ERR_NOT_SOUND_FILE},
        {"shorter than a RIFF header", Bytes(good.begin(), good.begin() + 10), ERR_NOT_SOUND_FILE},
        {"cut inside its chunks", Bytes(good.begin(), good.begin() + 40), ERR_FILE_SHORT},
        {"data before fmt", dataFirst, ERR_FILE_SHORT},
        {"format of 12 bytes", shortFmt, ERR_NOT_SOUND_FILE},
        {"no data chunk", wave::Riff({wave::Chunk("fmt ", wave::Fmt(1, 1, 11025, 16))}), ERR_FILE_SHORT},
    };
    for (int32_t selLength : {0, 3}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            Load(1, 16, {7, 8, 9, 10}, 1, selLength);
            Bytes before = Raw();
            TheSelection().pendingLength = 5;
            EXPECT_EQ(c.error, Paste(c.image));
            EXPECT_EQ(c.error, ReadClipWave(c.image.data(), c.image.size(), READ_MEASURE));
            ExpectUnchanged(before);
            ExpectSelection(1, selLength);
            EXPECT_TRUE(host.errors.empty());
        }
    }
}

// Cancelled halfway, a Mix paste puts back every sample it had mixed.
TEST_F(ClipWaveTest, ACancelledMixPasteRestoresTheOldSound)
{
    TheAppOptions().mixOld = 100;
    TheAppOptions().mixNew = 100;
    Samples old(30000), pasted(30000, 1000);
    for (size_t i = 0; i < old.size(); i++)
        old[i] = int(i % 3000) - 1500;
    Load(1, 16, old, 0, 30000, 4096);
    Bytes before = Raw();
    host.cancelAt = 20000;
    EXPECT_EQ(-1, Paste(Image16(1, rate, pasted)));
    ExpectUnchanged(before);
}

}
