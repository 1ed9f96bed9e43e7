// The choice of a file's reader: by the name's extension first, then by
// probing WAVE, AIFF, VOC, AU and MP3; RAW only by its extension. Files that
// SoX makes in each kind open with the format and samples SoX reports.
#include "support/foreign_builder.h"
#include "support/reader_fixture.h"

namespace {

// 8-bit mono 8000 Hz files of signed samples (AIFF: an even count).
Bytes Au(const Bytes& data) { return foreign::Au(2, 1, 8000, data); }

Bytes Aiff(const Bytes& data)
{
    return foreign::Aiff({foreign::Comm(1, uint32_t(data.size()), 8, 8000), foreign::Ssnd(data)});
}

using SoundFileTest = ReaderTest;

TEST_F(SoundFileTest, SoxFilesOpenWithTheFormatAndSamplesSoxReports)
{
    const char *u8 = "-e unsigned -b 8", *s16 = "-e signed -b 16 -L", *mulaw = "-e mu-law";
    const struct { const char* name; const char* options; const char* decode; uint16_t tag; int rc; } cases[] = {
        {"a.aif", "-r 11025 -c 1 -b 8 -e signed -t aiff", u8, WAVE_TAG_PCM, 0},
        {"a.aif", "-r 22050 -c 2 -b 8 -e signed -t aiff", u8, WAVE_TAG_PCM, 0},
        {"a.aif", "-r 8000 -c 1 -b 16 -e signed -t aiff", s16, WAVE_TAG_PCM, 0},
        {"a.aif", "-r 44100 -c 2 -b 16 -e signed -t aiff", s16, WAVE_TAG_PCM, 0},
        {"a.aif", "-r 22050 -c 2 -b 16 -e signed -t aifc", s16, WAVE_TAG_PCM, 0},
        {"a.au", "-r 11025 -c 1 -e mu-law -t au", mulaw, WAVE_TAG_MULAW, 0},
        {"a.au", "-r 11025 -c 1 -b 8 -e signed -t au", u8, WAVE_TAG_PCM, 0},
        {"a.au", "-r 11025 -c 1 -b 16 -e signed -t au", s16, WAVE_TAG_PCM, 0},
        {"a.au", "-r 11025 -c 2 -b 16 -e signed -t au", s16, WAVE_TAG_PCM, 0},
        {"a.voc", "-r 11025 -c 1 -b 8 -t voc", u8, WAVE_TAG_PCM, 0},     // time constant 165: 10989 Hz
        // A new-style block, whose length SoX writes 8 bytes short: its last
        // samples read as a block past the end of the file, which ends the
        // list as SoX's own reading does.
        {"a.voc", "-r 22050 -c 2 -b 16 -t voc", s16, WAVE_TAG_PCM, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        ASSERT_NO_FATAL_FAILURE(MakeWithSox(c.options, "0.3 sine 100-5000 sine 440", c.decode));
        ASSERT_EQ(c.rc, Read(wave::ReadFile(in), READ_OPEN, c.name));
        const KvWaveFormat* f = TheDocument().format.Record();
        EXPECT_EQ(c.tag, f->wFormatTag);
        EXPECT_EQ(c.decode == s16 ? 16 : 8, f->wBitsPerSample);
        EXPECT_EQ(SoxInfo("-r"), long(f->nSamplesPerSec));
        EXPECT_EQ(SoxInfo("-c"), long(f->nChannels));
        EXPECT_EQ(wave::ReadFile(ref), DocumentBytes());
    }
}

TEST_F(SoundFileTest, TheExtensionsReaderGoesFirstThenTheContentDecides)
{
    Bytes au = Au({1, 2}), aiff = Aiff({1, 2}), damaged = au, noise = {'n', 'o', 't', ' ', 's', 'o', 'u', 'n', 'd'};
    damaged[15] = 9;            // an encoding that is not read
    // The WAVE reader finds no RIFF form, and the probe goes on; MP3 is only
    // a name, probed like any other; a reader that knows its file has the
    // last word; RAW is taken only by its extension.
    const struct { Bytes file; const char* name; int rc; } cases[] = {
        {au, "sound.wav", 0}, {aiff, "sound.voc", 0}, {wave::Pcm(1, 8000, 8, {0x81, 0x82}), "sound.AIF", 0},
        {au, "song.mp3", 0}, {aiff, "no_extension", 0}, {damaged, "bad.Au", ERR_UNSUPPORTED_COMPRESSION},
        {damaged, "bad.dat", ERR_UNSUPPORTED_COMPRESSION}, {noise, "data.xyz", ERR_NOT_SOUND_FILE},
        {noise, "data.mp3", ERR_NOT_SOUND_FILE}, {noise, "data.RAW", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.rc, Read(c.file, READ_OPEN, c.name)) << c.name;
        if (c.rc == 0)
            EXPECT_EQ(c.file == noise ? noise : Bytes({0x81, 0x82}), DocumentBytes()) << c.name;
    }
}

TEST_F(SoundFileTest, ShortFilesWithoutASignatureAreNoSoundFiles)
{
    for (const char* name : {"a.wav", "a.aif", "a.voc", "a.au", "a.xyz"}) {
        EXPECT_EQ(ERR_NOT_SOUND_FILE, Read({'a', 'b'}, READ_OPEN, name)) << name;
        EXPECT_EQ(ERR_NOT_SOUND_FILE, Read({}, READ_OPEN, name)) << name;
    }
}

}
