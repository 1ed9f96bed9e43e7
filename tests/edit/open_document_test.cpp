#include "edit/open_document.h"

#include <gtest/gtest.h>

#include "base/error_message.h"
#include "base/update_views.h"
#include "device/engine.h"
#include "edit/undo_history.h"
#include "support/core_state.h"
#include "support/test_host.h"
#include "support/wave_builder.h"
#include "view/selection_ops.h"

namespace {

// Counts what an operation asks of the layers above the editing layer, and
// passes it on to the real engine and views.
class CountingLinks : public EngineLink, public SelectionLink {
public:
    CountingLinks()
    {
        SetEngineLink(this);
        SetSelectionLink(this);
    }
    ~CountingLinks() override { InstallCoreLinks(); }

    void Stop() override
    {
        stops++;
        DeviceEngineLink().Stop();
    }
    void PlayAfterChange() override { DeviceEngineLink().PlayAfterChange(); }
    void SetSelection(int32_t start, int32_t length, int origin) override
    {
        const Selection before = TheSelection();
        ViewSelectionLink().SetSelection(start, length, origin);
        const Selection& after = TheSelection();
        if (after.selStart != before.selStart || after.selLength != before.selLength)
            selectionChanges++;
    }
    void SetViewRange(int32_t start, int32_t length, int origin) override
    {
        ViewSelectionLink().SetViewRange(start, length, origin);
    }
    void SetPlayPosition(int32_t position, int origin) override
    {
        ViewSelectionLink().SetPlayPosition(position, origin);
    }
    void RepaintRange(int32_t a, int32_t b) override { ViewSelectionLink().RepaintRange(a, b); }
    void DropGesture() override { ViewSelectionLink().DropGesture(); }

    int stops = 0;
    int selectionChanges = 0;
};

class OpenDocumentTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ResetCore());
        ASSERT_EQ(0, NewDocument(nullptr));
        // Something to lose: a sound with a selection and both histories.
        ASSERT_TRUE(doc.InsertSpace(0, 300));
        SetSelection(10, 20, ORIGIN_COMMAND);
        SetSelection(40, 5, ORIGIN_COMMAND);
        ASSERT_EQ(0, ActUndo());
        ASSERT_FALSE(TheUndoHistory().IsEmpty());
        ASSERT_FALSE(TheRedoHistory().IsEmpty());
        RunPendingViewUpdates();
        host.frame = true;
        host.posts = 0;
        host.historyDiscards = 0;
    }

    int Open(wave::Bytes bytes, const char* name)
    {
        MemoryFileInfo memory{bytes.data(), uint32_t(bytes.size())};
        return OpenDocumentFile(name, &memory);
    }

    CKV_Document& doc = TheDocument();
    TestHost host;
};

TEST_F(OpenDocumentTest, OpeningAFileStopsResetsSelectsAndTellsTheViewsOnce)
{
    wave::Bytes samples(2 * 1000, 0x11);
    wave::Bytes file = wave::Riff({wave::Chunk("fmt ", wave::Fmt(1, 2, 8000, 8)), wave::Chunk("data", samples)});
    CountingLinks links;
    ASSERT_EQ(0, Open(file, "C:\\sounds\\opened.wav"));

    EXPECT_LE(1, links.stops);
    EXPECT_EQ(1, host.historyDiscards);
    EXPECT_EQ(1, links.selectionChanges);
    EXPECT_EQ(1, host.posts);
    EXPECT_EQ(uint32_t(UpdAll), PendingViewUpdates());

    EXPECT_STREQ("C:\\sounds\\opened.wav", doc.Name());
    EXPECT_EQ(1000, doc.length);
    EXPECT_EQ(0, doc.changeCount);
    ExpectSelection(0, 1000);
    EXPECT_EQ(1000, TheSelection().viewLength);
    EXPECT_TRUE(TheUndoHistory().IsEmpty());
    EXPECT_TRUE(TheRedoHistory().IsEmpty());
    EXPECT_EQ(ACTSTATE_READY, TheApp().actionState);
}

TEST_F(OpenDocumentTest, ANewSoundIsEmptyUntitledAndAnInvalidFormatIsRefused)
{
    KvWaveFormat stereo = PcmFormat(2, 16, 44100);
    ASSERT_EQ(0, NewDocument(&stereo));
    EXPECT_TRUE(doc.format.Equals(&stereo));
    ASSERT_TRUE(doc.InsertSpace(0, 100000));
    EXPECT_EQ(88200, static_cast<CKV_BUFFER*>(doc.chunks.Head())->count);     // two-second chunks
    doc.SetFileName("old.wav");
    doc.changeCount = 3;

    const KvWaveFormat twelveBit = {WAVE_TAG_PCM, 1, 8000, 16000, 2, 12, 0};
    EXPECT_EQ(ERR_UNSUPPORTED_FORMAT, NewDocument(&twelveBit));
    EXPECT_EQ(0, doc.length);
    EXPECT_EQ(0, doc.chunks.Count());
    EXPECT_STREQ("", doc.Name());
    EXPECT_EQ(0, doc.changeCount);
    EXPECT_TRUE(doc.format.Equals(&stereo));    // the refused format never became ours
    ExpectSelection(0, 0);
    EXPECT_EQ(ACTSTATE_READY, TheApp().actionState);

    // The histories record again afterwards.
    ASSERT_TRUE(doc.InsertSpace(0, 50));
    SetSelection(5, 5, ORIGIN_COMMAND);
    EXPECT_FALSE(TheUndoHistory().IsEmpty());
}

}
