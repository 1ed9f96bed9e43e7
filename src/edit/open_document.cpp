#include "edit/open_document.h"

#include "base/app.h"
#include "base/error_message.h"
#include "base/update_views.h"
#include "edit/actions.h"
#include "edit/links.h"
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

class EditActions : public SampleActions {
public:
    int ReplaceSound(const char* name, const KvWaveFormat* format) override
    {
        return EmptyDocument(name, format);
    }
    int32_t PreparePaste() override { return ActPrepareWave(ACTION_PASTE, RESTORE_SAMPLES); }
    void CompletePaste(bool arrived) override
    {
        ActComplete(ACTION_PASTE, arrived ? ACT_PREPARED | ACT_LENGTH_CHANGED : ACT_PREPARED | ACT_NO_RECORD);
    }
    bool Progress(int32_t position) override { return ActProgress(position); }
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
    FinishReplace();
    return rc;
}

int OpenDocument(CMMFile& file)
{
    BeginReplace();
    int rc = ReadSoundFile(file, READ_OPEN);
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
