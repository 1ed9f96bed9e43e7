#include "app/file_commands.h"

#include <cstdint>

#include "app/recent_files.h"
#include "base/app_options.h"
#include "base/error_message.h"
#include "base/file_names.h"
#include "base/host.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "base/update_views.h"
#include "edit/object_options_action.h"
#include "edit/open_document.h"
#include "lib/gstring.h"
#include "sound/document.h"
#include "sound/sound_file.h"
#include "sound/wave_file.h"

namespace {

class HeadlessFileUi : public FileUi {
public:
    SaveAnswer AskSaveChanges() override { return SAVE_ANSWER_NO; }
    bool AskContinueWithoutSaving() override { return true; }
    bool RunFileDialog(FileDialogKind) override { return false; }
    void RebuildRecentMenu() override {}
};

HeadlessFileUi headless;
FileUi* fileUi = &headless;
uint8_t rememberedReadOnly = 0;

// The errors that say the file itself is bad or gone, as opposed to the
// user's answer or a lack of memory: only these take a recent entry away.
bool IsFileError(int rc)
{
    return rc == ERR_CANT_OPEN || rc == ERR_NOT_SOUND_FILE || rc == ERR_FILE_SHORT
        || rc == ERR_UNSUPPORTED_FORMAT || rc == ERR_UNSUPPORTED_COMPRESSION;
}

bool HasWaveExtension(const char* name)
{
    int dot = FindExtension(name);
    return dot >= 0 && CGString::CompareNoCase(name + dot, LoadAppString(STR_EXT_WAV)) == 0;
}

// The list is written to the settings file at exit.
void RecentFilesChanged()
{
    TheAppOptions().settingsChanged++;
    fileUi->RebuildRecentMenu();
}

void RecordRecentFile(const char* name)
{
    if (AddRecentFile(name, true))
        RecentFilesChanged();
}

// One write of the document to `target`: 0 or the error id.
int WriteDocument(const char* target)
{
    if (!HasWaveExtension(target))
        return ERR_CANT_EXPORT;
    // A RIFF file's sizes are 32-bit: a larger image cannot be written, and
    // nothing is touched trying.
    if (TheDocument().GetSaveSize(WAVE_WRITE_FILE) == UINT32_MAX)
        return ERR_CANT_SAVE;
    return SaveWave(target, WAVE_WRITE_FILE, nullptr);
}

}

void SetFileUi(FileUi* ui)
{
    fileUi = ui ? ui : &headless;
}

uint8_t& RememberedReadOnly()
{
    return rememberedReadOnly;
}

bool DocumentNeedsSave()
{
    const CKV_Document& doc = TheDocument();
    if (doc.changeCount == 0)
        return false;
    return doc.length != 0 || IsAcceptableFileName(doc.Name());
}

bool AskSaveChanges()
{
    if (!DocumentNeedsSave())
        return true;
    switch (fileUi->AskSaveChanges()) {
    case SAVE_ANSWER_NO:
        return true;
    case SAVE_ANSWER_CANCEL:
        return false;
    case SAVE_ANSWER_YES:
        break;
    }
    return SaveDocument(true) || fileUi->AskContinueWithoutSaving();
}

int OpenSoundFileResult(const char* name, bool askToSave, bool paste)
{
    if (!IsAcceptableFileName(name))
        return -1;
    // A bitmap file becomes the sound's icon; the sound stays as it was.
    if (TakeIconFile(name))
        return -1;
    if (askToSave && !AskSaveChanges())
        return -1;
    // The name may be the recent entry that this open moves or removes.
    CGString path(name);
    int rc;
    if (paste) {
        CMMFile file;
        if (!file.Open(path.c_str(), KVIO_READ | KVIO_DENYWRITE, nullptr)) {
            rc = ERR_CANT_OPEN;
        } else {
            rc = ReadSoundFile(file, READ_PASTE);
            file.Close();
        }
        UpdateViews(UpdAll);
    } else {
        rc = OpenDocumentFile(path.c_str());
    }
    if (rc > 0)
        TheHost().ShowError(rc);
    if (rc == 0 && !paste)
        RecordRecentFile(TheDocument().Name());
    return rc;
}

bool OpenSoundFile(const char* name, bool askToSave, bool paste)
{
    return OpenSoundFileResult(name, askToSave, paste) == 0;
}

bool SaveDocument(bool underCurrentName)
{
    CKV_Document& doc = TheDocument();
    bool named = IsAcceptableFileName(doc.Name());
    // An emptied sound is written (as an empty file) only over its own file.
    if (doc.length == 0 && !(underCurrentName && named))
        return true;
    if (doc.readOnly)
        underCurrentName = false;
    if (underCurrentName && !DocumentNeedsSave())
        return true;
    CGString target;
    bool ask = !underCurrentName || !named;
    if (!ask)
        target = doc.Name();
    for (;;) {
        if (ask) {
            if (!fileUi->RunFileDialog(FILE_DIALOG_SAVE))
                return false;
            target = LastFileName();
        }
        int rc = WriteDocument(target.c_str());
        if (rc == 0)
            break;
        TheHost().ShowError(rc);
        ask = true;
    }
    doc.SetFileName(target.c_str());
    // The file now is ours to write again.
    doc.readOnly = 0;
    doc.changeCount = 0;
    RecordRecentFile(target.c_str());
    UpdateViews(UpdTitle);
    return true;
}

int FileNew()
{
    if (!AskSaveChanges())
        return -1;
    return NewDocument(nullptr);
}

int FileOpen()
{
    if (!AskSaveChanges() || !fileUi->RunFileDialog(FILE_DIALOG_OPEN))
        return -1;
    CGString name(LastFileName());
    if (OpenSoundFileResult(name.c_str(), false, false) != 0)
        return -1;
    TheDocument().readOnly = rememberedReadOnly;
    UpdateViews(UpdTitle);
    return 0;
}

int FilePasteFile()
{
    if (!fileUi->RunFileDialog(FILE_DIALOG_PASTE))
        return -1;
    CGString name(LastFileName());
    if (OpenSoundFileResult(name.c_str(), false, true) != 0)
        return -1;
    TheDocument().readOnly = rememberedReadOnly;
    return 0;
}

int FileSave()
{
    return SaveDocument(true) ? 0 : -1;
}

int FileSaveAs()
{
    return SaveDocument(false) ? 0 : -1;
}

int FileOpenRecent(int k)
{
    const CGStringListRec* entry = RecentFiles().At(k);
    if (!entry)
        return -1;
    CGString path(entry->c_str());
    int rc = OpenSoundFileResult(path.c_str(), true, false);
    if (IsFileError(rc) && RemoveRecentFile(path.c_str()))
        RecentFilesChanged();
    return rc == 0 ? 0 : -1;
}
