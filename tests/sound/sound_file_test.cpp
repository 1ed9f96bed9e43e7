// The choice of a file's reader: by the name's extension first, then by
// probing WAVE, AIFF, VOC, AU and MP3; RAW only by its extension.
#include <gtest/gtest.h>

#include "support/reader_fixture.h"

namespace {

// 8-bit mono 8000 Hz files of signed samples (AIFF: an even count).
Bytes Au(const Bytes& data)
{
    Bytes b = {'.', 's', 'n', 'd', 0, 0, 0, 24, 0, 0, 0, uint8_t(data.size()), 0, 0, 0, 2,
               0, 0, 0x1F, 0x40, 0, 0, 0, 1};
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

Bytes Aiff(const Bytes& data)
{
    uint8_t n = uint8_t(data.size());
    Bytes b = {'F', 'O', 'R', 'M', 0, 0, 0, uint8_t(46 + n), 'A', 'I', 'F', 'F',
               'C', 'O', 'M', 'M', 0, 0, 0, 18, 0, 1, 0, 0, 0, n, 0, 8, 0x40, 0x0B, 0xFA, 0, 0, 0, 0, 0, 0, 0,
               'S', 'S', 'N', 'D', 0, 0, 0, uint8_t(8 + n), 0, 0, 0, 0, 0, 0, 0, 0};
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

class SoundFileTest : public ReaderTest {
protected:
    SoundFileTest() : ReaderTest("in.wav") {}

    // Opens the bytes as a file of that name.
    int Open(const Bytes& bytes, const char* name) { return Read(bytes, READ_OPEN, name); }
};

TEST_F(SoundFileTest, ContentDecidesWhenTheExtensionsReaderDoesNotKnowIt)
{
    // The WAVE reader finds no RIFF form and the probe goes on.
    ASSERT_EQ(0, Open(Au({0x01, 0x02}), "sound.wav"));
    EXPECT_EQ(Bytes({0x81, 0x82}), DocumentBytes());
    ASSERT_EQ(0, Open(Aiff({0x03, 0x04}), "sound.voc"));
    EXPECT_EQ(Bytes({0x83, 0x84}), DocumentBytes());
    ASSERT_EQ(0, Open(wave::Pcm(1, 22050, 8, {5, 6}), "sound.AIF"));
    EXPECT_EQ(22050u, TheDocument().format.Record()->nSamplesPerSec);
    // MP3 is only a name: its files are probed like any other.
    ASSERT_EQ(0, Open(Au({0x07, 0x08}), "song.mp3"));
    EXPECT_EQ(Bytes({0x87, 0x88}), DocumentBytes());
    ASSERT_EQ(0, Open(Aiff({0x09, 0x0A}), "no_extension"));
    EXPECT_EQ(Bytes({0x89, 0x8A}), DocumentBytes());
}

TEST_F(SoundFileTest, ExtensionsReaderHasTheLastWordUnlessItSaysNotThisType)
{
    Bytes damaged = Au({1, 2});
    damaged[15] = 9;            // an encoding that is not read
    EXPECT_EQ(ERR_UNSUPPORTED_COMPRESSION, Open(damaged, "bad.Au"));
    EXPECT_EQ(ERR_UNSUPPORTED_COMPRESSION, Open(damaged, "bad.dat"));
}

TEST_F(SoundFileTest, RawIsOnlyTakenByItsExtension)
{
    Bytes noise = {'n', 'o', 't', ' ', 's', 'o', 'u', 'n', 'd'};
    EXPECT_EQ(ERR_NOT_SOUND_FILE, Open(noise, "data.xyz"));
    EXPECT_EQ(ERR_NOT_SOUND_FILE, Open(noise, "data.mp3"));
    ASSERT_EQ(0, Open(noise, "data.RAW"));
    EXPECT_EQ(noise, DocumentBytes());
}

TEST_F(SoundFileTest, ShortFilesWithoutASignatureAreNoSoundFiles)
{
    for (const char* name : {"a.wav", "a.aif", "a.voc", "a.au", "a.xyz"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ERR_NOT_SOUND_FILE, Open({'a', 'b'}, name));
        EXPECT_EQ(ERR_NOT_SOUND_FILE, Open({}, name));
    }
}

}
