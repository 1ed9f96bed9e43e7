// Headerless RAW files in the document's own format, and the sample path all
// foreign readers share (paste, cancel).
#include <gtest/gtest.h>

#include <string>

#include "support/reader_fixture.h"
#include "view/selection_ops.h"

namespace {

class RawReaderTest : public ReaderTest {
protected:
    RawReaderTest() : ReaderTest("in.raw") {}

    // A RAW file takes the format of the sound before it.
    void NewSound(uint16_t channels, uint32_t rate, uint16_t bits, const Bytes& samples = {})
    {
        KvWaveFormat f = PcmFormat(channels, bits, rate);
        ASSERT_EQ(0, TheDocument().NewSound(nullptr, &f));
        if (int32_t n = int32_t(samples.size() / f.nBlockAlign)) {
            ASSERT_TRUE(TheDocument().InsertSpace(0, n));
            TheDocument().WriteBlocks(0, samples.data(), n);
        }
    }
};

TEST_F(RawReaderTest, SoxRawOpensInTheFormatOfTheSoundBefore)
{
    for (uint16_t bits : {8, 16}) {
        SCOPED_TRACE(bits);
        NewSound(2, 22050, bits);
        ASSERT_NO_FATAL_FAILURE(MakeWithSox(std::string("-r 22050 -c 2 ")
                + (bits == 8 ? "-e unsigned -b 8" : "-e signed -b 16 -L") + " -t raw",
            "0.3 sine 100-4000 sine 300"));
        ASSERT_EQ(0, Read(wave::ReadFile(in)));
        const KvWaveFormat* f = TheDocument().format.Record();
        EXPECT_EQ(22050u, f->nSamplesPerSec);
        EXPECT_EQ(2, f->nChannels);
        EXPECT_EQ(bits, f->wBitsPerSample);
        EXPECT_EQ(wave::ReadFile(in), DocumentBytes());
        EXPECT_STREQ("in.raw", TheDocument().Name());
    }
}

TEST_F(RawReaderTest, TrailingPartialBlockIsDropped)
{
    NewSound(2, 8000, 16);
    ASSERT_EQ(0, Read({1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(Bytes({1, 2, 3, 4}), DocumentBytes());
}

TEST_F(RawReaderTest, PasteInsertsAtTheSelectionAsOneUndoableStep)
{
    NewSound(1, 8000, 8, {10, 20, 30});
    SetSelection(1, 0, ORIGIN_PROGRAM);
    ASSERT_EQ(0, Read({1, 2}, READ_PASTE));
    EXPECT_EQ(Bytes({10, 1, 2, 20, 30}), DocumentBytes());
    EXPECT_EQ(1, TheDocument().changeCount);
}

TEST_F(RawReaderTest, CancelledPasteOverASelectionLeavesTheSoundAsItWas)
{
    Bytes old(60000, 0x40);
    NewSound(1, 11025, 8, old);
    SetSelection(0, 60000, ORIGIN_PROGRAM);
    host.cancelAt = 1;
    EXPECT_EQ(-1, Read(Bytes(60000, 0x70), READ_PASTE));
    EXPECT_GT(host.updates.size(), 0u);
    EXPECT_EQ(old, DocumentBytes());
    EXPECT_EQ(0, TheDocument().changeCount);
}

}
