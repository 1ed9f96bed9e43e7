// Convert Format: the whole sound into another format as one undoable
// action; failures and cancels leave the document exactly as it was; the
// compression manager's chooser in front of it.
#include <algorithm>

#include "edit/convert_format.h"
#include "edit/undo_history.h"
#include "support/reader_fixture.h"

namespace {

class ConvertFormatTest : public ReaderTest {
protected:
    // Sets up the sound and remembers it as it is.
    void Load(const KvWaveFormat& f, const Bytes& samples, int32_t chunk = 7)
    {
        NewSound(f, samples, chunk);
        format = RecordBytes(doc.format.Record(), doc.format.Size());
        original = samples;
    }

    void ExpectUnchanged()
    {
        EXPECT_EQ(format, RecordBytes(doc.format.Record(), doc.format.Size()));
        EXPECT_EQ(original, DocumentBytes());
        EXPECT_EQ(0, doc.changeCount);
        for (CGObListRec* r = TheUndoHistory().Head(); r; r = r->Next())
            EXPECT_NE(ACTION_CONVERT, static_cast<CKV_ACTSTORE*>(r)->action);
    }

    CKV_Document& doc = TheDocument();
    Bytes format, original;
};

TEST_F(ConvertFormatTest, TheSameFormatDoesNothingAndFilesNothing)
{
    Load(PcmFormat(1, 8, 11025), Pattern(50));
    KvWaveFormat same = PcmFormat(1, 8, 11025);
    EXPECT_EQ(0, ConvertFormat(&same));
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
    ExpectUnchanged();
}

TEST_F(ConvertFormatTest, StereoToMono22050To8000StepsChunkByChunkAndUndoRestoresIt)
{
    Load(PcmFormat(2, 16, 22050), Pattern(4 * 3000));
    KvWaveFormat target = PcmFormat(1, 8, 8000);
    ASSERT_EQ(0, ConvertFormat(&target));
    Bytes converted = DocumentBytes();
    ASSERT_EQ(1089u, converted.size());         // 3000 / 2.75625, rounded up
    for (size_t i = 0; i < converted.size(); i++)       // step 2.75625 in 16.16, left high byte + 128
        ASSERT_EQ(uint8_t(original[(i * 180633 >> 16) * 4 + 1] ^ 0x80), converted[i]) << i;
    EXPECT_EQ(1, doc.changeCount);
    EXPECT_EQ(1089, TheSelection().selLength);

    ASSERT_EQ(0, ActUndo());
    ExpectUnchanged();
    ASSERT_EQ(0, ActRedo());
    EXPECT_EQ(converted, DocumentBytes());
}

TEST_F(ConvertFormatTest, UndoAndRedoGiveBackUntouchedSilenceAndTheMemoryItHeld)
{
    Load(PcmFormat(2, 16, 22050), Pattern(4 * 60));
    // Room inserted but never written has no memory of its own.
    ASSERT_TRUE(doc.InsertSpace(20, 30));
    original = DocumentBytes();
    uint32_t before = UndoMemoryInUse();
    KvWaveFormat target = PcmFormat(1, 8, 11025);
    ASSERT_EQ(0, ConvertFormat(&target));
    Bytes converted = DocumentBytes();
    EXPECT_EQ(45u, converted.size());
    EXPECT_EQ(0, ActUndo());
    EXPECT_EQ(original, DocumentBytes());
    EXPECT_EQ(0, ActRedo());
    EXPECT_EQ(converted, DocumentBytes());
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(original, DocumentBytes());
    TheUndoHistory().DeleteAll();
    TheRedoHistory().DeleteAll();
    EXPECT_EQ(before, UndoMemoryInUse());
}

TEST_F(ConvertFormatTest, ACancelOrAFailureHalfwayLeavesTheDocumentAsItWas)
{
    // Long enough for the progress window, whose Cancel is pressed after the first chunk.
    Load(PcmFormat(1, 16, 11025), Pattern(2 * 20000), 4000);
    host.cancelAt = 1;
    KvWaveFormat target = PcmFormat(2, 16, 44100);
    EXPECT_EQ(-1, ConvertFormat(&target));
    ExpectUnchanged();
    EXPECT_FALSE(ActIsBusy());

    FakeCompressionManager acm;
    acm.failConvertAt = 2;
    host.cancelAt = -1;
    Load(PcmFormat(1, 16, 11025), Pattern(2 * 300), 50);
    FakeCodecFormat codec = MakeFakeCodec(1, 11025, 20);
    EXPECT_EQ(ERR_NO_MEMORY, ConvertFormat(&codec.wfx));
    ExpectUnchanged();
}

TEST_F(ConvertFormatTest, ACompressedRoundTripKeepsTheLengthToTheSample)
{
    FakeCompressionManager acm;
    Load(PcmFormat(1, 16, 22050), Pattern(2 * 1234), 300);
    FakeCodecFormat codec = MakeFakeCodec(1, 22050, 100);
    ASSERT_EQ(0, ConvertFormat(&codec.wfx));
    EXPECT_EQ(13, doc.length);

    // The saved file's "fact" chunk holds the true count.
    ASSERT_EQ(0, SaveWave(in.c_str(), WAVE_WRITE_FILE, nullptr));
    Bytes file = wave::ReadFile(in), fact = Chunk("fact", {1234 & 0xFF, 1234 >> 8, 0, 0});
    EXPECT_NE(file.end(), std::search(file.begin(), file.end(), fact.begin(), fact.end()));

    KvWaveFormat pcm = PcmFormat(1, 16, 22050);
    ASSERT_EQ(0, ConvertFormat(&pcm));
    EXPECT_EQ(original, DocumentBytes());
}

TEST_F(ConvertFormatTest, TheManagersChooserConvertsToTheChosenFormat)
{
    FakeCompressionManager acm;
    Load(PcmFormat(1, 16, 11025), Pattern(2 * 40));
    EXPECT_EQ(0, ChooseFormatWithManager(nullptr));     // off unless the setting asks for it
    EXPECT_EQ(0, acm.chooserCalls);

    TheAppOptions().useAcm = 1;
    EXPECT_EQ(2, ChooseFormatWithManager(nullptr));     // cancelled
    EXPECT_TRUE(acm.chooserRestricted);
    ExpectUnchanged();
    KvWaveFormat mono8 = PcmFormat(1, 8, 11025);
    acm.chosen = RecordBytes(&mono8, 18);
    acm.chooseResult = 0;
    EXPECT_EQ(1, ChooseFormatWithManager(nullptr));
    EXPECT_EQ(8, doc.format.Record()->wBitsPerSample);
    EXPECT_EQ(40, doc.length);
    EXPECT_TRUE(host.errors.empty());
}

}
