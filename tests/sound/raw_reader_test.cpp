// Headerless RAW files: the samples in the document's own format, and the
// shared sample path that every foreign reader uses (paste, cancel).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/app.h"
#include "app/app_options.h"
#include "app/builtin_strings.h"
#include "app/error_message.h"
#include "edit/actions.h"
#include "sound/document.h"
#include "sound/sound_file.h"
#include "sound/wave_file.h"
#include "view/selection_ops.h"
#include "support/test_host.h"
#include "support/wave_builder.h"

using wave::Bytes;

namespace {

class RawReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(LoadBuiltInStrings());
        ResetApp();
        ResetAppOptions();
        ResetSelection();
        ASSERT_EQ(0, TheDocument().NewSound(nullptr, nullptr));
        ResetUndoHistory(ACTSTATE_READY);
        dir = ::testing::TempDir() + "kv_raw_"
            + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "/";
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    int Read(int mode)
    {
        if (mode == READ_OPEN)
            ResetUndoHistory(ACTSTATE_LOADING);
        CMMFile file;
        int rc = file.Open((dir + "in.raw").c_str(), KVIO_READ | KVIO_DENYWRITE, nullptr)
            ? ReadSoundFile(file, mode) : ERR_CANT_OPEN;
        file.Close();
        if (mode == READ_OPEN)
            ResetUndoHistory(ACTSTATE_READY);
        return rc;
    }

    void NewSound(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples = {})
    {
        uint16_t align = uint16_t(channels * bits / 8);
        KvWaveFormat f = {WAVE_TAG_PCM, channels, rate, rate * align, align, bits, 0};
        ASSERT_EQ(0, TheDocument().NewSound(nullptr, &f));
        int32_t n = int32_t(samples.size() / align);
        if (n > 0) {
            ASSERT_TRUE(TheDocument().InsertSpace(0, n));
            TheDocument().WriteBlocks(0, samples.data(), n);
        }
    }

    Bytes DocumentBytes()
    {
        CKV_Document& doc = TheDocument();
        Bytes b(size_t(doc.length) * size_t(doc.format.BlockAlign()));
        doc.SetChannel(255);
        EXPECT_EQ(doc.length, doc.CopyOut(0, b.data(), doc.length));
        doc.ReleaseCursor();
        return b;
    }

    TestHost host;
    std::string dir;
};

TEST_F(RawReaderTest, SoxRawOpensInTheFormatOfTheSoundBefore)
{
    ASSERT_EQ(0, std::system("sox --version >/dev/null 2>&1")) << "sox is not installed: run scripts/setup.sh";
    for (uint16_t bits : {8, 16}) {
        SCOPED_TRACE(bits);
        NewSound(2, 22050, bits);
        std::string encoding = bits == 8 ? "-e unsigned -b 8" : "-e signed -b 16 -L";
        ASSERT_EQ(0, std::system(("sox -n -r 22050 -c 2 " + encoding + " -t raw " + dir
                                  + "in.raw synth 0.3 sine 100-4000 sine 300").c_str()));
        ASSERT_EQ(0, Read(READ_OPEN));
        const KvWaveFormat* f = TheDocument().format.Record();
        EXPECT_EQ(22050u, f->nSamplesPerSec);
        EXPECT_EQ(2, f->nChannels);
        EXPECT_EQ(bits, f->wBitsPerSample);
        EXPECT_EQ(wave::ReadFile(dir + "in.raw"), DocumentBytes());
        EXPECT_NE(std::string::npos, std::string(TheDocument().Name()).find("in.raw"));
    }
}

TEST_F(RawReaderTest, TrailingPartialBlockIsDropped)
{
    NewSound(2, 8000, 16);
    ASSERT_TRUE(wave::WriteFile(dir + "in.raw", {1, 2, 3, 4, 5, 6, 7}));
    ASSERT_EQ(0, Read(READ_OPEN));
    EXPECT_EQ(Bytes({1, 2, 3, 4}), DocumentBytes());
}

TEST_F(RawReaderTest, PasteInsertsAtTheSelectionAsOneUndoableStep)
{
    NewSound(1, 8000, 8, {10, 20, 30});
    SetSelection(1, 0, ORIGIN_PROGRAM);
    ASSERT_TRUE(wave::WriteFile(dir + "in.raw", {1, 2}));
    ASSERT_EQ(0, Read(READ_PASTE));
    EXPECT_EQ(Bytes({10, 1, 2, 20, 30}), DocumentBytes());
    EXPECT_EQ(1, TheDocument().changeCount);
}

TEST_F(RawReaderTest, CancelledPasteOverASelectionLeavesTheSoundAsItWas)
{
    Bytes old(60000, 0x40);
    NewSound(1, 11025, 8, old);
    SetSelection(0, 60000, ORIGIN_PROGRAM);
    ASSERT_TRUE(wave::WriteFile(dir + "in.raw", Bytes(60000, 0x70)));
    host.cancelAt = 1;
    EXPECT_EQ(-1, Read(READ_PASTE));
    EXPECT_GT(host.updates.size(), 0u);
    EXPECT_EQ(old, DocumentBytes());
    EXPECT_EQ(0, TheDocument().changeCount);
}

}
