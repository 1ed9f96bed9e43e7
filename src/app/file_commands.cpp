#include "app/file_commands.h"

#include "app/recent_files.h"
#include "base/error_message.h"
#include "base/host.h"
#include "base/update_views.h"
#include "edit/open_document.h"
#include "sound/document.h"
#include "sound/sound_file.h"
#include "sound/wave_file.h"

bool OpenSoundFile(const char* name, bool askToSave, bool paste)
{
    if (!IsAcceptableFileName(name))
        return false;
    int rc;
    if (paste) {
        CMMFile file;
        if (!file.Open(name, KVIO_READ | KVIO_DENYWRITE, nullptr)) {
            rc = ERR_CANT_OPEN;
        } else {
            rc = ReadSoundFile(file, READ_PASTE);
            file.Close();
        }
        UpdateViews(UpdAll);
    } else {
        LastFileName() = name;
        rc = OpenDocumentFile(name);
    }
    if (rc > 0)
        TheHost().ShowError(rc);
    if (rc == 0 && !paste)
        AddRecentFile(TheDocument().Name(), true);
    return rc == 0;
}
