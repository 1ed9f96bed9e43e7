// The Device Options dialog (which devices play and record, and how play
// behaves) and the device information dialogs (what a device reports).
#pragma once

#include <windows.h>

#include <cstdint>

// Device Options, modally over `owner` (null: the frame). It works on a copy
// of the device options; OK stores a changed copy as one undoable step.
// True on OK.
bool DeviceOptionsDialog(HWND owner);

// Device Information for the devices of the settings (the Help menu's).
bool DeviceInfoDialog(HWND owner);

// The information of one device: IDD_PLAY_INFO for a play device,
// IDD_RECORD_INFO for a record device (-1: the mapper).
void ShowDeviceInfo(HWND owner, int templateId, int32_t deviceId);
