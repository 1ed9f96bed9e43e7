#include "edit/open_document.h"

#include <cstring>
#include <memory>
#include <new>

#include "base/app.h"
#include "base/error_message.h"
#include "base/update_views.h"
#include "edit/actions.h"
#include "edit/links.h"
#include "edit/object_options_action.h"
#include "edit/undo_history.h"
#include "sound/document.h"
#include "sound/sound_file.h"
#include "sound/wave_file.h"

namespace {

// The engine stopped and both histories discarded; until FinishReplace the
// state is "loading", in which the reading records nothing.
void BeginReplace()
{
    TheEngineLink().Stop();
    ResetUndoHistory(ACTSTATE_LOADING);
}

// The document empty, named and of its new format, with nothing selected or
// shown: the selection record is set directly, as the sound it described is
// gone; FinishReplace commits the new one.
int EmptyDocument(const char* name, const KvWaveFormat* format)
{
    CKV_Document& doc = TheDocument();
    doc.FreeAll();
    doc.SetFileName(name);
    int rc = doc.SetFormat(format);
    doc.readOnly = 0;
    doc.changeCount = 0;
    Selection& sel = TheSelection();
    sel.viewStart = 0;
    sel.viewLength = 0;
    sel.selStart = 0;
    sel.selLength = 0;
    sel.playPos = 0;
    return rc;
}

// The new sound shown and the histories ready to record again.
void FinishReplace()
{
    ShowWholeDocument();
    ResetUndoHistory(ACTSTATE_READY);
}

// A document being opened: the old sound stays, histories and all, until a
// reader has recognised the file and replaces it.
struct Opening {
    bool active = false;
    bool replaced = false;
};

Opening opening;

class EditActions : public SampleActions {
public:
    int ReplaceSound(const char* name, const KvWaveFormat* format) override
    {
        if (opening.active && !opening.replaced) {
            BeginReplace();
            opening.replaced = true;
        }
        return EmptyDocument(name, format);
    }

    int PreparePaste(int32_t* count) override
    {
        *count = 0;
        Selection& sel = TheSelection();
        before = {sel.selStart, sel.selLength, sel.playPos};
        cutRecord.reset();
        // A selection longer than the sound is cut to its length first, as a
        // step of its own; it is filed (before the paste's) only when the
        // paste succeeds, so that a failed one leaves both histories alone.
        if (!ActIsBusy() && TheApp().actionState == ACTSTATE_READY && ComputeEditMode() != EDIT_INSERT
            && sel.pendingLength > 0 && sel.selLength > sel.pendingLength) {
            cutRecord.reset(new (std::nothrow) CKV_ACTSTORE(ACTION_SELECT, ACTION_SELECT, sizeof(SavedRange)));
            if (!cutRecord || cutRecord->Lost()) {
                cutRecord.reset();
                return ERR_NO_MEMORY;
            }
            SavedRange range = {sel.selStart, sel.selLength};
            std::memcpy(cutRecord->data.get(), &range, sizeof range);
            TheSelectionLink().SetSelection(sel.selStart, sel.pendingLength, ORIGIN_PROGRAM);
        }
        int32_t n = ActPrepareWave(ACTION_PASTE, RESTORE_SAMPLES);
        if (n == 0) {
            PutSelectionBack();
            return 0;
        }
        // What a paste over a selection overwrites must be kept to take it
        // back: without memory for that the paste does not start.
        const CKV_ACTSTORE* record = ActOpenRecord();
        if (sel.editMode != EDIT_INSERT && record && record->Lost()) {
            ActComplete(ACTION_PASTE, ACT_PREPARED | ACT_NO_RECORD);
            PutSelectionBack();
            return ERR_NO_MEMORY;
        }
        *count = n;
        return 0;
    }

    void CompletePaste(int result) override
    {
        std::unique_ptr<CKV_ACTSTORE> cut = std::move(cutRecord);
        if (result != 0) {
            // Opening records nothing: what arrived stays, and the whole
            // sound is shown when the opening ends.
            bool recorded = ActIsOpen();
            ActComplete(ACTION_PASTE, ACT_PREPARED | ACT_FAILED);
            if (recorded)
                PutSelectionBack();
            return;
        }
        if (cut)
            ActFile(cut.release(), TheUndoHistory());
        ActComplete(ACTION_PASTE, ACT_PREPARED | ACT_LENGTH_CHANGED);
    }

    bool Progress(int32_t position) override { return ActProgress(position); }

private:
    // The selection as it was before the paste, put back when it fails.
    void PutSelectionBack()
    {
        const Selection& sel = TheSelection();
        if (sel.selStart != before.start || sel.selLength != before.length)
            TheSelectionLink().SetSelection(before.start, before.length, ORIGIN_PROGRAM);
        if (sel.playPos != before.playPos)
            TheSelectionLink().SetPlayPosition(before.playPos, ORIGIN_PROGRAM);
        cutRecord.reset();
    }

    struct {
        int32_t start = 0;
        int32_t length = 0;
        int32_t playPos = 0;
    } before;
    std::unique_ptr<CKV_ACTSTORE> cutRecord;
};

}

void ShowWholeDocument()
{
    int32_t length = TheDocument().length;
    SelectionLink& link = TheSelectionLink();
    link.SetViewRange(0, length, ORIGIN_PROGRAM);
    link.RepaintRange(0, 0);
    link.SetSelection(0, length, ORIGIN_PROGRAM);
    UpdateViews(UpdAll);
}

int NewDocument(const KvWaveFormat* format)
{
    BeginReplace();
    int rc = EmptyDocument(nullptr, format);
    StampCreationDate();
    FinishReplace();
    return rc;
}

int OpenDocument(CMMFile& file)
{
    opening = {true, false};
    int rc = ReadSoundFile(file, READ_OPEN);
    bool replaced = opening.replaced;
    opening = {};
    if (replaced && rc != 0) {
        // What was read of a damaged file is not that file: it stays
        // untitled, so that Save asks for a name rather than overwrite the
        // file with the part that could be read, and counts as unsaved.
        CKV_Document& doc = TheDocument();
        doc.SetFileName(nullptr);
        doc.changeCount = 1;
    }
    if (replaced)
        FinishReplace();
    return rc;
}

int OpenDocumentFile(const char* name, MemoryFileInfo* memory)
{
    CMMFile file;
    if (!file.Open(name, KVIO_READ | KVIO_DENYWRITE, memory))
        return ERR_CANT_OPEN;
    int rc = OpenDocument(file);
    file.Close();
    return rc;
}

SampleActions& EditSampleActions()
{
    static EditActions actions;
    return actions;
}
