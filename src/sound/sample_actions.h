// How the readers and the converter bring sound into the document. Filling
// the document is an editing action (room made by the edit mode, what is
// overwritten saved for undo, progress and cancel), and the action lifecycle
// lives in the editing layer above this one: it installs itself here at
// start-up. Without it nothing can be read into the document.
//
// Every reader takes the same path: it sets Selection::pendingLength, calls
// PrepareFill, reads into the room it was given and hands its result to
// CompleteFill. A paste whose result is not 0 (cancelled, refused, damaged
// data) changes nothing: the samples, the selection, the change count and
// both histories are as they were before it.
#pragma once

#include <cstdint>

#include "sound/wave_format.h"

class Form;

class SampleActions {
public:
    virtual ~SampleActions() = default;
    // Opening a file: the old sound goes and the document becomes an empty
    // sound of the file's format, named after the file. 0 or an error id
    // (247, 256, 261); on an error the document is empty.
    virtual int ReplaceSound(const char* name, const KvWaveFormat* format) = 0;
    // Prepares Selection::pendingLength blocks at the selection start for the
    // reader to fill: new room in Insert mode, the selection (cut to that
    // length) in Mix and Replace mode; *count gets their number. 0, or an
    // error id with nothing changed. A count of 0: nothing to fill, and
    // nothing to complete.
    virtual int PreparePaste(int32_t* count) = 0;
    // Ends what PreparePaste began, with the reader's result. 0 keeps the
    // new sound as an undo step (behind the step that cut the selection,
    // when one was cut). Anything else takes back what the paste did, as far
    // as its undo record can: opening records nothing, so what arrived stays.
    virtual void CompletePaste(int result) = 0;
    // Called by long loops with the current block position: keeps the
    // program responsive and shows progress. True once the user cancelled.
    virtual bool Progress(int32_t position) = 0;
};

// The installed actions, never null: one that reads nothing when none was
// installed.
SampleActions& TheSampleActions();
void SetSampleActions(SampleActions* actions);

// 0 when `blocks` blocks of `format` fit in the memory the system can still
// give and in what a 32-bit process can address; else 247. Asked before any
// room is made for a sound, so that a file claiming more than can be held is
// refused at once instead of after a long read.
int CheckSoundSize(int64_t blocks, const Form& format);

// The start of every reader's fill, once Selection::pendingLength holds the
// sound's length (in `format` when opening, else in the document's format).
// Checks the room against CheckSoundSize; opening then replaces the document
// by an empty sound of `format` named `name`; then PreparePaste. 0 with
// *count (0: nothing to fill or complete), or an error id; nothing has
// changed unless the document was replaced.
int PrepareFill(const char* name, int mode, const Form& format, int32_t* count);

// CompletePaste, after a PrepareFill that gave a count above 0.
void CompleteFill(int result);
