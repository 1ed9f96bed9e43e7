// What the File menu does around the sound document: the save question,
// New, Open, Paste File, Save, Save As and the recent files. The questions
// and the common file dialogs belong to the shell, which installs them as a
// FileUi; without one (start-up before the frame, tests) nothing is asked:
// the save question answers No and every file dialog is cancelled.
#pragma once

#include <cstdint>

enum FileDialogKind {
    FILE_DIALOG_OPEN,
    FILE_DIALOG_PASTE,
    FILE_DIALOG_SAVE,
};

enum SaveAnswer {
    SAVE_ANSWER_YES,
    SAVE_ANSWER_NO,
    SAVE_ANSWER_CANCEL,
};

class FileUi {
public:
    virtual ~FileUi() = default;
    // "Save the current changes to the sound ?" with Yes, No and Cancel.
    virtual SaveAnswer AskSaveChanges() = 0;
    // "The Save FAILED ! Continue ?": true for OK (go on without saving).
    virtual bool AskContinueWithoutSaving() = 0;
    // The open, paste or save dialog, starting from LastFileName(). On OK
    // LastFileName() becomes the chosen path (and, for Open, the read-only
    // box is remembered); a cancelled dialog changes nothing.
    virtual bool RunFileDialog(FileDialogKind kind) = 0;
    // The recent-file items of the File menu follow RecentFiles().
    virtual void RebuildRecentMenu() = 0;
};

// Null: the headless answers above.
void SetFileUi(FileUi* ui);

// The state of the Open dialog's read-only box after the last Open; the
// document's read-only flag follows it after every Open and Paste File.
uint8_t& RememberedReadOnly();

// The document holds changes that no file has: modified sound, or a named
// sound the user emptied (its file still holds the old sound).
bool DocumentNeedsSave();

// Asks the save question when the document needs saving; Yes saves under
// the current name. True: go on (saved, discarded, or the user chose to go
// on after a cancelled save); false: keep everything.
bool AskSaveChanges();

// Opens a sound file: plain (the file replaces the document) or as a paste
// at the selection; askToSave asks the save question first. The error is
// shown; 0 when the file was read, -1 when refused or cancelled (nothing
// shown), else the error id that was shown. A bitmap file becomes the
// sound's icon instead, leaving the sound alone (-1).
int OpenSoundFileResult(const char* name, bool askToSave, bool paste);
bool OpenSoundFile(const char* name, bool askToSave, bool paste);

// Writes the document as WAVE: under its own name (Save) or through the save
// dialog (Save As, also for a document without a usable name or read-only).
// A failed write is shown and the dialog comes back. True when saved (or
// nothing needed saving); false when the dialog was cancelled.
bool SaveDocument(bool underCurrentName);

// The commands, for the command table: 0, or -1 when nothing was done.
int FileNew();
int FileOpen();
int FileSave();
int FileSaveAs();
int FilePasteFile();
// Recent entry k (0 = the most recent). An entry whose file fails to open
// with a file error is removed from the list.
int FileOpenRecent(int k);
