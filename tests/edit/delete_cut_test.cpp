// Delete and the removal half of Cut: the selection goes, and undo and redo
// put back and take away exactly the same bytes, across chunk edges and in
// every PCM layout.
#include "edit/delete_cut.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/app.h"
#include "edit/actions.h"
#include "edit/undo_history.h"
#include "sound/document.h"
#include "support/core_state.h"
#include "support/test_host.h"
#include "view/selection_ops.h"
#include "view/view_model.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Layout {
    uint16_t channels;
    uint16_t bits;
};

class DeleteCutTest : public ::testing::TestWithParam<Layout> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        KvWaveFormat f = PcmFormat(GetParam().channels, GetParam().bits, 11025);
        ASSERT_EQ(0, doc.NewSound(nullptr, &f));
        // Small chunks, so that every range crosses chunk edges.
        doc.bufferSamples = 7;
        align = doc.format.BlockAlign();
        original.resize(size_t(500) * align);
        for (size_t i = 0; i < original.size(); i++)
            original[i] = uint8_t(i * 31 + 5);
        ASSERT_TRUE(doc.InsertSpace(0, 500));
        doc.WriteBlocks(0, original.data(), 500);
        doc.changeCount = 0;
    }
    void TearDown() override
    {
        ResetActionLifecycle();
        doc.FreeAll();
    }

    // The original without blocks [start, start + n).
    Bytes Without(int32_t start, int32_t n)
    {
        Bytes b(original);
        b.erase(b.begin() + start * align, b.begin() + (start + n) * align);
        return b;
    }

    CKV_Document& doc = TheDocument();
    TestHost host;
    int align = 0;
    Bytes original;
};

TEST_P(DeleteCutTest, DeleteUndoRedoRestoreExactBytesAndSelection)
{
    SetSelection(33, 101, ORIGIN_PROGRAM);
    ASSERT_EQ(0, DeleteSelection());
    EXPECT_EQ(Without(33, 101), DocumentBytes());
    ExpectSelection(33, 0);
    EXPECT_EQ(1, doc.changeCount);

    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(original, DocumentBytes());
    ExpectSelection(33, 101);
    EXPECT_EQ(0, doc.changeCount);

    ASSERT_EQ(0, ActRedo());
    EXPECT_EQ(Without(33, 101), DocumentBytes());
    ExpectSelection(33, 0);
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(original, DocumentBytes());
}

TEST_P(DeleteCutTest, WholeSound)
{
    SetSelection(0, 500, ORIGIN_PROGRAM);
    ASSERT_EQ(0, DeleteSelection());
    EXPECT_EQ(0, doc.length);
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(original, DocumentBytes());
}

TEST_P(DeleteCutTest, CutRemovesAndIsLabelledCut)
{
    SetSelection(7, 14, ORIGIN_PROGRAM);
    ASSERT_EQ(0, RemoveSelectionForCut());
    EXPECT_EQ(Without(7, 14), DocumentBytes());
    CGString text;
    ASSERT_TRUE(GetUndoLabel(text));
    EXPECT_STREQ("&Undo Cut\tCtrl+Z", text);
    ASSERT_EQ(0, ActUndo());
    EXPECT_EQ(original, DocumentBytes());
    ExpectSelection(7, 14);
    ASSERT_TRUE(GetRedoLabel(text));
    EXPECT_STREQ("&Redo Cut\tShift+Bksp", text);
}

TEST_P(DeleteCutTest, EmptySelectionDeletesNothing)
{
    SetSelection(40, 0, ORIGIN_PROGRAM);
    EXPECT_EQ(-1, DeleteSelection());
    EXPECT_EQ(-1, RemoveSelectionForCut());
    EXPECT_EQ(original, DocumentBytes());
    EXPECT_EQ(0, TheUndoHistory().Count());
    EXPECT_EQ(0, doc.changeCount);
}

INSTANTIATE_TEST_SUITE_P(Layouts, DeleteCutTest,
                         ::testing::Values(Layout{1, 8}, Layout{2, 8}, Layout{1, 16}, Layout{2, 16}));

}
