// Headerless RAW files in the document's own format, and the sample path all
// foreign readers share (paste, cancel).
#include "support/reader_fixture.h"

namespace {

class RawReaderTest : public ReaderTest {
protected:
    RawReaderTest() : ReaderTest("in.raw") {}
};

TEST_F(RawReaderTest, SoxRawOpensInTheFormatOfTheSoundBefore)
{
    for (uint16_t bits : {8, 16}) {
        SCOPED_TRACE(bits);
        NewSound(PcmFormat(2, bits, 22050));
        ASSERT_NO_FATAL_FAILURE(MakeWithSox(std::string("-r 22050 -c 2 ")
                + (bits == 8 ? "-e unsigned -b 8" : "-e signed -b 16 -L") + " -t raw",
            "0.3 sine 100-4000 sine 300"));
        ASSERT_EQ(0, Read(wave::ReadFile(in)));
        KvWaveFormat want = PcmFormat(2, bits, 22050);
        EXPECT_TRUE(TheDocument().format.Equals(&want));
        EXPECT_EQ(wave::ReadFile(in), DocumentBytes());
        EXPECT_STREQ("in.raw", TheDocument().Name());
    }
    // A trailing partial block is dropped.
    ASSERT_EQ(0, Read({1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(Bytes({1, 2, 3, 4}), DocumentBytes());
}

TEST_F(RawReaderTest, CancelledPasteOverASelectionLeavesTheSoundAsItWas)
{
    Bytes old(60000, 0x40);
    NewSound(PcmFormat(1, 8, 11025), old);
    SetSelection(0, 60000, ORIGIN_PROGRAM);
    host.cancelAt = 1;
    EXPECT_EQ(-1, Read(Bytes(60000, 0x70), READ_PASTE));
    EXPECT_GT(host.updates.size(), 0u);
    EXPECT_EQ(old, DocumentBytes());
    EXPECT_EQ(0, TheDocument().changeCount);
}

}
