// Changing the object options (label, date, icon, flags) is the undoable
// "Object Options" action. Its record holds the whole old record, label and
// icon included, packed into the record's own block, so that destroying the
// record frees them with it.
#pragma once

#include <cstdint>

#include "sound/object_options.h"

// Stores `next`, recording the old options first. True when they changed;
// options equal to the stored ones record nothing, and while another action
// runs the change is refused.
bool SetObjectOptions(const ObjectOptions& next);

// The restore step of an "Object Options" record: SetObjectOptions with the
// saved options, so that the current ones are recorded in turn. 0, or -1 for
// a block that is not such a record.
int RestoreObjectOptions(const void* data, uint32_t size);

// A bitmap file offered to the file commands: when `name` is a BMP file the
// checks accept, it becomes the icon (an "Object Options" step when that
// changes it) and the result is true; the sound is not touched.
bool TakeIconFile(const char* name);

// A new sound is dated now, by the installed clock.
void StampCreationDate();
