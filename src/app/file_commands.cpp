#include "app/file_commands.h"

#include "app/app.h"
#include "app/error_message.h"
#include "app/host.h"
#include "app/recent_files.h"
#include "edit/actions.h"
#include "sound/document.h"
#include "sound/sound_file.h"
#include "sound/wave_file.h"
#include "view/selection_ops.h"
#include "view/update_views.h"

int NewDocument()
{
    return TheDocument().NewSound(nullptr, nullptr);
}

bool OpenSoundFile(const char* name, bool askToSave, bool paste)
{
    if (!IsAcceptableFileName(name))
        return false;
    if (!paste) {
        LastFileName() = name;
        ResetUndoHistory(ACTSTATE_LOADING);
    }
    int rc;
    CMMFile file;
    if (!file.Open(name, KVIO_READ | KVIO_DENYWRITE, nullptr)) {
        rc = ERR_CANT_OPEN;
    } else {
        rc = ReadSoundFile(file, paste ? READ_PASTE : READ_OPEN);
        file.Close();
    }
    CKV_Document& doc = TheDocument();
    if (!paste) {
        // A new document is shown whole.
        SetViewRange(0, doc.length, ORIGIN_PROGRAM);
        RepaintRange(0, 0);
        ResetUndoHistory(ACTSTATE_READY);
    }
    if (rc > 0)
        TheHost().ShowError(rc);
    if (rc == 0 && !paste)
        AddRecentFile(doc.Name(), true);
    UpdateViews(UpdAll);
    return rc == 0;
}
