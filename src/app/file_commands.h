// What the File menu does around the sound document: opening a sound file as
// the document, or pasting it into the document.
#pragma once

// Opens a sound file: plain (the file replaces the document) or as a paste at
// the selection. An error is shown; true when the file was read.
bool OpenSoundFile(const char* name, bool askToSave, bool paste);

