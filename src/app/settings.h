// The settings file: its one section (named after the program), its keys and
// the text of their values. Every key is read at start-up and, when
// settingsChanged is not 0, written back at exit; the values live in
// TheAppOptions(), TheEffectSettings() and the recent-file list.
//
// The key names are the string ids STR_KEY_FILE1 .. STR_KEY_USEACM (220..243)
// of string_ids.h, in the order the keys are read and written.
#pragma once

#include <cstdint>

#include "base/int_list.h"

enum {
    SETTING_VALUE_CHARS = 310,  // characters read per key; the rest of a value is ignored
};

// Puts every persisted record back to its defaults: the application, device,
// effect and object options and the default format (start-up and tests).
void ResetSettings();

// Takes the text of one key (a STR_KEY_* id) into the settings. A list with
// fewer numbers than the key has sets only its first fields; text that gives
// the key nothing it can use changes nothing. Flags are stored as 1 for any
// number but 0. Unknown ids and null text are ignored.
void ParseSettingValue(int keyId, const char* text);

// Writes the text of one key into out (cut to size - 1 characters) and
// returns its length; 0 means the key is not to be written: "BUFFERS", "UNDO"
// and "USEACM" never are, "FILE1".."FILE4" only while the recent-file list has
// that entry, the kept record texts only when not empty.
int FormatSettingValue(int keyId, char* out, int size);

// Reads every key from the section of TheSettingsStore(); a missing or empty
// value leaves its setting alone. False when there is no settings store.
bool ReadSettings();

// When settingsChanged is not 0, writes every key that has a value, in order,
// then sets settingsChanged to 0. The first failed write stops the writing and
// leaves settingsChanged as it was (false). True also when nothing had to be
// written; false when there is no settings store.
bool WriteSettings();
