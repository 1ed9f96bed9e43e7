// The operations that change the selection, the displayed range and the play
// position. Every view, the engine, the position fields and the commands go
// through them: they clamp, stop play where a user moves things, request the
// view updates and, for gesture ends and commands, file the undoable "Select"
// and "Display" actions. Positions and lengths are blocks of the document.
#pragma once

#include <cstdint>

#include "edit/links.h"

// Shows start..start + length in the views, fitted to the waveform window
// (view_model.h). Does nothing while the document has no usable format.
// Recorded changes save the last committed range; a request that leaves the
// committed range as it was files nothing.
void SetViewRange(int32_t start, int32_t length, int origin);

// Selects start..start + length, clamped into the sound. Does nothing while
// the document has no usable format. Recorded changes save the last
// committed selection; one that leaves it as it was files nothing. A commit
// also puts the play position into the new selection (its start when the
// selection is empty), which stops play.
void SetSelection(int32_t start, int32_t length, int origin);

// Moves the play position. From the engine it is taken as given; from
// anywhere else it is clamped into the selection (or from the selection
// start to the end of the sound when nothing is selected), and for a gesture
// start, a commit or a command the engine is stopped first.
void SetPlayPosition(int32_t position, int origin);

// The play position plus (forward) or minus the sound's length, clamped as
// SetPlayPosition clamps: the selection end or start. A gesture end keeps
// the position where it is.
void MoveToEnd(bool forward, int origin);

// Repaints the waveform columns of blocks a..b; b = 0 repaints from a to the
// right edge and has the scroll bar recomputed. (0, 0) repaints everything
// shown.
void RepaintRange(int32_t a, int32_t b);

// A drag still changing the selection (origin ORIGIN_DRAG, not yet
// committed) is dropped: the last committed selection comes back.
void DropGesture();

// These operations as the editing layer and the engine reach them (links.h).
SelectionLink& ViewSelectionLink();
