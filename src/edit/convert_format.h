// Convert Format: the whole sound into another format, as one undoable action.
#pragma once

#include <cstdint>

#include "sound/wave_format.h"

class CKV_ACTSTORE;

// The whole document to another format (undoable). 0, -1 or an
// error id; a failure or cancel leaves the document exactly as it was.
int ConvertFormat(const KvWaveFormat* format);

// The restore step of a Convert Format record (undo and redo): puts back the
// saved format and samples, or converts back to the saved format when the
// record holds no samples. The saved chunks' memory becomes the document's
// only when the step succeeds. Results as ActApply.
int RestoreConvertedFormat(CKV_ACTSTORE& record);

// The Convert Format command's use of the manager's chooser: when the
// "USEACM" setting is on and a usable manager is installed, the chooser
// starts from the document's format (listing only the formats the sound can
// be converted to when it holds samples) and a chosen format is converted to
// at once, an error shown by the host. 1 chosen, 2 cancelled, 0 when the
// chooser was not used or failed: the caller then shows its own dialog.
int ChooseFormatWithManager(void* owner);
