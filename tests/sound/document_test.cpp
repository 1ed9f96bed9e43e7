#include "sound/document.h"

#include <climits>

#include <gtest/gtest.h>

#include "app/error_message.h"
#include "sound/wave_file.h"
#include "support/core_state.h"
#include "view/selection_ops.h"
#include "view/update_views.h"

namespace {

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        savedDefault.Set(TheDefaultFormat());
        TheDefaultFormat().SetBuiltInDefault();
        ASSERT_EQ(doc.NewSound(nullptr, nullptr), 0);
        RunPendingViewUpdates();
    }
    void TearDown() override
    {
        doc.FreeAll();
        TheDefaultFormat().Set(savedDefault);
    }

    CKV_Document& doc = TheDocument();
    Form savedDefault;
};

TEST_F(DocumentTest, SetFileNameKeepsOnlyNamesThatCanBeFiles)
{
    const struct { const char* name; const char* kept; } cases[] = {
        {"C:\\Sounds\\ding.wav", "C:\\Sounds\\ding.wav"},
        {"\xC4rger.wav", "\xC4rger.wav"},      // a letter beyond ASCII begins a name too
        {"(Untitled)", ""}, {"<embedded>", ""}, {" ding.wav", ""}, {"\tding.wav", ""}, {"", ""}, {nullptr, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        doc.SetFileName("previous.wav");
        RunPendingViewUpdates();
        doc.SetFileName(c.name);
        EXPECT_STREQ(doc.Name(), c.kept);
        EXPECT_STREQ(doc.GetTitleName(), *c.kept ? c.kept : "(Untitled)");
        EXPECT_EQ(PendingViewUpdates(), uint32_t(UpdTitle));
    }
    doc.SetFileName("own.wav");
    doc.SetFileName(doc.Name());
    EXPECT_STREQ(doc.Name(), "own.wav");
}

TEST_F(DocumentTest, NewSoundTakesTheDefaultInTwoSecondChunksOrRefusesAnInvalidFormat)
{
    KvWaveFormat stereo = PcmFormat(2, 16, 44100);
    ASSERT_TRUE(TheDefaultFormat().Set(&stereo));
    ASSERT_EQ(doc.NewSound("old.wav", nullptr), 0);
    EXPECT_TRUE(doc.format.Equals(&stereo));
    ASSERT_TRUE(doc.InsertSpace(0, 100000));
    EXPECT_EQ(static_cast<CKV_BUFFER*>(doc.chunks.Head())->count, 88200);
    doc.changeCount = 3;

    const KvWaveFormat twelveBit = {WAVE_TAG_PCM, 1, 8000, 16000, 2, 12, 0};
    EXPECT_EQ(doc.NewSound("new.wav", &twelveBit), ERR_UNSUPPORTED_FORMAT);
    EXPECT_EQ(doc.length, 0);
    EXPECT_EQ(doc.chunks.Count(), 0);
    EXPECT_STREQ(doc.Name(), "new.wav");
    EXPECT_EQ(doc.changeCount, 0);
    EXPECT_TRUE(doc.format.Equals(&stereo));    // the refused format never became ours
    EXPECT_EQ(TheApp().actionState, ACTSTATE_READY);
}

TEST_F(DocumentTest, SetFormatShowsAndSelectsTheWholeSoundOrRefusesAndKeepsTheOld)
{
    ASSERT_TRUE(doc.InsertSpace(0, 500));
    SetSelection(10, 5, ORIGIN_PROGRAM);
    SetViewRange(100, 50, ORIGIN_PROGRAM);
    RunPendingViewUpdates();
    KvWaveFormat mono = PcmFormat(1, 16, 22050);
    ASSERT_EQ(doc.SetFormat(&mono), 0);
    ExpectSelection(0, 500);
    EXPECT_EQ(TheSelection().viewLength, 500);

    const KvWaveFormat noRate = {WAVE_TAG_PCM, 1, 0, 0, 1, 8, 0};
    EXPECT_EQ(doc.SetFormat(&noRate), ERR_UNSUPPORTED_FORMAT);
    EXPECT_EQ(doc.SetFormat(doc.format.Record()), 0);   // its own record may come back
    EXPECT_TRUE(doc.format.Equals(&mono));
}

TEST_F(DocumentTest, SaveSizeIsTheWholeFileAndSaturates)
{
    KvWaveFormat mono = PcmFormat(1, 16, 8000);
    ASSERT_EQ(doc.SetFormat(&mono), 0);
    ASSERT_TRUE(doc.InsertSpace(0, 101));
    SetSelection(3, 11, ORIGIN_PROGRAM);
    EXPECT_EQ(doc.GetSaveSize(0), 2u * 101 + 16 + 31);
    EXPECT_EQ(doc.GetSaveSize(WAVE_WRITE_SELECTION), 2u * 11 + 16 + 31);

    // Past 4 GiB the size cannot be written at all; it must not wrap to a small one.
    KvWaveFormat stereo = PcmFormat(2, 16, 44100);
    ASSERT_EQ(doc.SetFormat(&stereo), 0);
    ASSERT_TRUE(doc.InsertSpace(0, INT32_MAX / 2 + 1000));
    EXPECT_EQ(doc.GetSaveSize(0), UINT32_MAX);
}

}
