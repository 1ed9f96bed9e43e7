// The transport and position panel of the frame: the transport buttons'
// enabling, the location fields, the total-length and format lines, the
// title, and the volume popup. The frame creates and lays out the controls
// (ids of resource.h) and forwards their messages here; this side fills and
// enables them through the view updates (base/update_views.h).
#pragma once

#include "view/volume_popup_dlg.h"

// Installs the handlers of the panel's view updates. Called by the frame
// once its child controls exist; the controls are found by id in the host's
// frame window.
void InstallPositionPanel();

// The frame can drag the sound's file out to other programs: the Drag button
// is enabled for a sound with a file name. Off until it is said.
void SetDragOutAvailable(bool available);

// A WM_COMMAND notification of the selection start or length (end) field
// (IDW_FIELD_START, IDW_FIELD_LENGTH). Focus gained shows the step arrows
// beside the field; focus lost hides them and, when the user changed the
// text, applies it once as one undoable selection change. The program's own
// rewrites of a field are never read back.
void OnLocationNotify(int id, int code);

// A scroll code from the step arrows (IDW_LOCATION_SCROLL): line up and line
// down move the focused field's value by one unit at once.
void OnLocationStep(int scrollCode);

// Esc in a location field: its text goes back to the current selection and
// is not applied when the focus then leaves it. False when no location
// field has the focus.
bool RestoreLocationEdit();
