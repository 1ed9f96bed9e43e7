// How the readers and the converter bring sound into the document. Filling
// the document is an editing action (room made by the edit mode, what is
// overwritten saved for undo, progress and cancel), and the action lifecycle
// lives in the editing layer above this one: it installs itself here at
// start-up. Without it nothing can be read into the document.
#pragma once

#include <cstdint>

#include "sound/wave_format.h"

class SampleActions {
public:
    virtual ~SampleActions() = default;
    // Opening a file: the document becomes an empty sound of the file's
    // format, named after the file. 0 or an error id (247, 256, 261); on an
    // error the document is empty.
    virtual int ReplaceSound(const char* name, const KvWaveFormat* format) = 0;
    // Prepares Selection::pendingLength blocks at the selection start for the
    // reader to fill: new room in Insert mode, the selection (cut to that
    // length) in Mix and Replace mode. Returns their count; 0: nothing to
    // fill, and nothing to complete.
    virtual int32_t PreparePaste() = 0;
    // Ends what PreparePaste began. `arrived` false: a paste into inserted
    // room failed, the room goes again and nothing is recorded.
    virtual void CompletePaste(bool arrived) = 0;
    // Called by long loops with the current block position: keeps the
    // program responsive and shows progress. True once the user cancelled.
    virtual bool Progress(int32_t position) = 0;
};

// The installed actions, never null: one that reads nothing when none was
// installed.
SampleActions& TheSampleActions();
void SetSampleActions(SampleActions* actions);
