#include "sound/document.h"

#include <climits>

#include <gtest/gtest.h>

#include "base/error_message.h"
#include "base/update_views.h"
#include "edit/open_document.h"
#include "sound/wave_file.h"
#include "support/core_state.h"
#include "view/selection_ops.h"

namespace {

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        savedDefault.Set(TheDefaultFormat());
        TheDefaultFormat().SetBuiltInDefault();
        ASSERT_EQ(NewDocument(nullptr), 0);
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

TEST_F(DocumentTest, NameAndFormatChangeNothingElse)
{
    const struct { const char* name; const char* kept; } cases[] = {
        {"C:\\Sounds\\ding.wav", "C:\\Sounds\\ding.wav"},
        {"\xC4rger.wav", "\xC4rger.wav"},      // a letter beyond ASCII begins a name too
        {"(Untitled)", ""}, {"<embedded>", ""}, {" ding.wav", ""}, {"\tding.wav", ""}, {"", ""}, {nullptr, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        doc.SetFileName("previous.wav");
        doc.SetFileName(c.name);
        EXPECT_STREQ(doc.Name(), c.kept);
        EXPECT_STREQ(doc.GetTitleName(), *c.kept ? c.kept : "(Untitled)");
    }
    doc.SetFileName("own.wav");
    doc.SetFileName(doc.Name());
    EXPECT_STREQ(doc.Name(), "own.wav");

    // A new format keeps the samples and the selection; a refused one keeps
    // the old format.
    ASSERT_TRUE(doc.InsertSpace(0, 500));
    SetSelection(10, 5, ORIGIN_PROGRAM);
    RunPendingViewUpdates();
    KvWaveFormat mono = PcmFormat(1, 16, 22050);
    ASSERT_EQ(doc.SetFormat(&mono), 0);
    ExpectSelection(10, 5);
    EXPECT_EQ(doc.length, 500);
    const KvWaveFormat noRate = {WAVE_TAG_PCM, 1, 0, 0, 1, 8, 0};
    EXPECT_EQ(doc.SetFormat(&noRate), ERR_UNSUPPORTED_FORMAT);
    EXPECT_EQ(doc.SetFormat(doc.format.Record()), 0);   // its own record may come back
    EXPECT_TRUE(doc.format.Equals(&mono));
    EXPECT_EQ(PendingViewUpdates(), 0u);
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
