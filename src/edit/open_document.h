// Replacing the whole document. Every way a new sound takes the place of the
// old one comes through here, in one order: the engine stops, both undo
// histories go, the document is emptied and takes its new name and format,
// the sound is read in, and then the view range and the selection are set
// and the views told, once each. Opening a file starts that order only when
// a reader has taken the file: a file refused before leaves everything as it
// was.
#pragma once

#include "sound/file.h"
#include "sound/sample_actions.h"
#include "sound/wave_format.h"

// An empty, untitled sound of `format` (null: the format for new sounds).
// 0 or an error id; on an error the document is empty and keeps its format.
int NewDocument(const KvWaveFormat* format);

// Reads an opened sound file as the document, choosing the reader by the
// file's name and contents. 0, -1 (cancelled) or an error id. A file that is
// refused before its sound is read (not a sound file, an unsupported format,
// too long for memory) changes nothing; once the document was replaced, what
// was read before an error stays.
int OpenDocument(CMMFile& file);

// OpenDocument of the named file (or the caller's memory block under that
// name); 249 when it cannot be opened.
int OpenDocumentFile(const char* name, MemoryFileInfo* memory = nullptr);

// Shows and selects the whole sound and has every view refreshed, once
// each: after the sound was replaced as a whole (opened, or converted to
// another format).
void ShowWholeDocument();

// The action lifecycle as the readers and the converter reach it.
SampleActions& EditSampleActions();
