// Convert Format: the whole sound into another format as one undoable
// action; failures and cancels leave the document exactly as it was; the
// compression manager's chooser in front of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "app/error_message.h"
#include "edit/actions.h"
#include "edit/undo_history.h"
#include "lib/log.h"
#include "sound/compression_manager.h"
#include "sound/converter.h"
#include "sound/document.h"
#include "sound/wave_file.h"
#include "support/fake_compression_manager.h"
#include "support/test_host.h"
#include "support/wave_builder.h"
#include "view/selection_ops.h"

namespace {

using wave::Bytes;

KvWaveFormat Pcm(uint16_t ch, uint32_t rate, uint16_t bits)
{
    uint16_t align = uint16_t(ch * bits / 8);
    return KvWaveFormat{WAVE_TAG_PCM, ch, rate, rate * align, align, bits, 0};
}

class ConvertFormatTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetSelection();
        ResetActionLifecycle();
        SetLogSink(&log);
    }
    void TearDown() override { SetLogSink(nullptr); }

    // A sound in chunks of `chunk` blocks, so that conversions run chunk by chunk.
    void Load(const KvWaveFormat& f, const Bytes& data, int32_t chunk = 7)
    {
        ASSERT_EQ(0, doc.NewSound(nullptr, &f));
        doc.bufferSamples = chunk;
        int32_t n = int32_t(data.size() / f.nBlockAlign);
        if (n > 0) {
            ASSERT_TRUE(doc.InsertSpace(0, n));
            doc.SetChannel(255);
            ASSERT_EQ(n, doc.WriteBlocks(0, data.data(), n));
        }
        SetSelection(0, 0, ORIGIN_PROGRAM);
        TheUndoHistory().DeleteAll();
        doc.changeCount = 0;
    }

    Bytes DocBytes()
    {
        Bytes b(size_t(doc.length) * size_t(doc.format.BlockAlign()));
        doc.SetChannel(255);
        EXPECT_EQ(doc.length, doc.CopyOut(0, b.data(), doc.length));
        doc.ReleaseCursor();
        return b;
    }

    Bytes Format() { return Bytes(reinterpret_cast<uint8_t*>(doc.format.Record()),
                                  reinterpret_cast<uint8_t*>(doc.format.Record()) + doc.format.Size()); }

    void ExpectUnchanged(const Bytes& format, const Bytes& samples)
    {
        EXPECT_EQ(format, Format());
        EXPECT_EQ(samples, DocBytes());
        EXPECT_EQ(0, doc.changeCount);
    }

    // The whole-sound selection may be recorded; a conversion must not be.
    static bool ConversionFiled()
    {
        for (CGObListRec* r = TheUndoHistory().Head(); r; r = r->Next()) {
            if (static_cast<CKV_ACTSTORE*>(r)->action == ACTION_CONVERT)
                return true;
        }
        return false;
    }

    static Bytes Pattern(size_t n)
    {
        Bytes b(n);
        for (size_t i = 0; i < n; i++)
            b[i] = uint8_t(i * 37 + (i >> 3));
        return b;
    }

    CKV_Document& doc = TheDocument();
    TestHost host;
    MemoryLogSink log;
};

TEST_F(ConvertFormatTest, TheSameFormatDoesNothingAndFilesNothing)
{
    Load(Pcm(1, 11025, 8), Pattern(50));
    KvWaveFormat same = Pcm(1, 11025, 8);
    EXPECT_EQ(0, ConvertFormat(&same));
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
    EXPECT_EQ(0, doc.changeCount);
}

TEST_F(ConvertFormatTest, ConvertsTheWholeSoundAndUndoRestoresIt)
{
    Bytes original = Pattern(50);
    Load(Pcm(1, 11025, 8), original);
    Bytes format = Format();
    KvWaveFormat target = Pcm(2, 22050, 16);
    ASSERT_EQ(0, ConvertFormat(&target));
    EXPECT_EQ(100, doc.length);
    EXPECT_EQ(22050u, doc.format.Record()->nSamplesPerSec);
    Bytes converted = DocBytes();
    for (int i = 0; i < 100; i++) {
        int16_t expected = int16_t((original[i / 2] - 128) * 256);
        int16_t left, right;
        std::memcpy(&left, &converted[4 * i], 2);
        std::memcpy(&right, &converted[4 * i + 2], 2);
        ASSERT_EQ(expected, left) << i;
        ASSERT_EQ(expected, right) << i;
    }
    EXPECT_EQ(1, doc.changeCount);
    EXPECT_EQ(100, TheSelection().selLength);

    ASSERT_EQ(0, ActUndo());
    ExpectUnchanged(format, original);
    ASSERT_EQ(0, ActRedo());
    EXPECT_EQ(converted, DocBytes());
}

TEST_F(ConvertFormatTest, UndoOfALossyConversionPutsBackTheExactSound)
{
    Bytes original = Pattern(4 * 3000);
    Load(Pcm(2, 22050, 16), original);
    Bytes format = Format();
    KvWaveFormat target = Pcm(1, 8000, 8);
    ASSERT_EQ(0, ConvertFormat(&target));
    EXPECT_EQ(1089, doc.length);    // 3000 / 2.75625, rounded up
    ASSERT_EQ(0, ActUndo());
    ExpectUnchanged(format, original);
}

TEST_F(ConvertFormatTest, ACancelLeavesTheDocumentAsItWas)
{
    // Long enough for the progress window, whose Cancel is pressed after
    // the first chunk.
    Bytes original = Pattern(30000);
    Load(Pcm(1, 11025, 8), original, 4000);
    Bytes format = Format();
    host.cancelAt = 1;
    KvWaveFormat target = Pcm(2, 44100, 16);
    EXPECT_EQ(-1, ConvertFormat(&target));
    ExpectUnchanged(format, original);
    EXPECT_FALSE(ConversionFiled());
    EXPECT_FALSE(ActIsBusy());
}

TEST_F(ConvertFormatTest, AFailureHalfwayLeavesTheDocumentAsItWas)
{
    FakeCompressionManager acm;
    acm.failConvertAt = 2;
    Bytes original = Pattern(2 * 300);
    Load(Pcm(1, 11025, 16), original, 50);
    Bytes format = Format();
    FakeCodecFormat target = MakeFakeCodec(1, 11025, 20);
    EXPECT_EQ(ERR_NO_MEMORY, ConvertFormat(&target.wfx));
    ExpectUnchanged(format, original);
    EXPECT_FALSE(ConversionFiled());
    EXPECT_TRUE(log.Contains("Acm:Convert 12"));
}

TEST_F(ConvertFormatTest, ACompressedRoundTripKeepsTheLengthToTheSample)
{
    FakeCompressionManager acm;
    std::vector<int16_t> samples(1234);
    for (size_t i = 0; i < samples.size(); i++)
        samples[i] = int16_t(i * 53 - 30000);
    Bytes original(samples.size() * 2);
    std::memcpy(original.data(), samples.data(), original.size());
    Load(Pcm(1, 22050, 16), original, 300);
    FakeCodecFormat codec = MakeFakeCodec(1, 22050, 100);
    ASSERT_EQ(0, ConvertFormat(&codec.wfx));
    EXPECT_EQ(13, doc.length);
    EXPECT_EQ(1234, DocumentSamples());

    // The saved file's "fact" chunk holds the true count.
    std::string path = ::testing::TempDir() + "kv_convert_fact.wav";
    ASSERT_EQ(0, SaveWave(path.c_str(), WAVE_WRITE_FILE, nullptr));
    Bytes file = wave::ReadFile(path);
    std::remove(path.c_str());
    Bytes fact = {'f', 'a', 'c', 't', 4, 0, 0, 0, 1234 & 0xFF, 1234 >> 8, 0, 0};
    EXPECT_NE(file.end(), std::search(file.begin(), file.end(), fact.begin(), fact.end()));

    KvWaveFormat pcm = Pcm(1, 22050, 16);
    ASSERT_EQ(0, ConvertFormat(&pcm));
    EXPECT_EQ(original, DocBytes());
}

TEST_F(ConvertFormatTest, TheManagersChooserConvertsToTheChosenFormat)
{
    FakeCompressionManager acm;
    Bytes original = Pattern(2 * 40);
    Load(Pcm(1, 11025, 16), original);
    Bytes format = Format();

    // Off unless the setting asks for it.
    EXPECT_EQ(0, ChooseFormatWithManager(nullptr));
    EXPECT_EQ(0, acm.chooserCalls);

    TheAppOptions().useAcm = 1;
    EXPECT_EQ(2, ChooseFormatWithManager(nullptr));
    ExpectUnchanged(format, original);
    EXPECT_EQ("Convert Format", acm.chooserTitle);
    EXPECT_TRUE(acm.chooserRestricted);

    acm.chooseResult = 7;
    EXPECT_EQ(0, ChooseFormatWithManager(nullptr));
    EXPECT_TRUE(log.Contains("acmFORMATCHOOSE 7"));
    ExpectUnchanged(format, original);

    KvWaveFormat mono8 = Pcm(1, 11025, 8);
    acm.chosen.assign(reinterpret_cast<uint8_t*>(&mono8), reinterpret_cast<uint8_t*>(&mono8) + 18);
    acm.chooseResult = 0;
    EXPECT_EQ(1, ChooseFormatWithManager(nullptr));
    EXPECT_EQ(8, doc.format.Record()->wBitsPerSample);
    EXPECT_EQ(40, doc.length);
    EXPECT_TRUE(host.errors.empty());
}

}
