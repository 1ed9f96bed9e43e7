#include "app/settings.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>

#include "app/recent_files.h"
#include "base/app.h"
#include "base/app_options.h"
#include "base/int_list.h"
#include "base/settings_store.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "device/dev_options.h"
#include "edit/effect_settings.h"
#include "lib/log.h"
#include "sound/form.h"
#include "sound/object_options.h"

namespace {

enum { MAX_KEY_NUMBERS = 5 };   // the longest list: "TONE"

uint8_t Flag(int32_t value)
{
    return value != 0 ? 1 : 0;
}

int FormatNumbers(char* out, int size, std::initializer_list<int32_t> values)
{
    return FormatIntArray(out, size, values.begin(), static_cast<int>(values.size()));
}

// Sets the first `count` of the fields to the values read.
void SetFields(const int32_t* values, int count, std::initializer_list<int32_t*> fields)
{
    int i = 0;
    for (int32_t* field : fields) {
        if (i >= count)
            break;
        *field = values[i++];
    }
}

void SetFlags(const int32_t* values, int count, std::initializer_list<uint8_t*> flags)
{
    int i = 0;
    for (uint8_t* flag : flags) {
        if (i >= count)
            break;
        *flag = Flag(values[i++]);
    }
}

// The "OLE" value: the flags, a comma and the label. The flags are the first
// number; the label is everything after the first comma, so that a label
// written with commas in it reads back whole. Without a number the flags
// stay; without a comma the label stays.
void ParseObjectOptions(const char* text)
{
    ObjectOptions& options = TheObjectOptions();
    int32_t flags = 0;
    if (ParseIntList(&flags, text, 1) == 1)
        options.flags = static_cast<uint32_t>(flags);
    if (const char* comma = std::strchr(text, ','))
        options.label = comma + 1;
}

int FormatObjectOptions(char* out, int size)
{
    const ObjectOptions& options = TheObjectOptions();
    std::string text = std::to_string(static_cast<int32_t>(options.flags));
    text += ',';
    text += options.label.c_str();
    return CopyString(out, size, text.c_str());
}

}

void ResetSettings()
{
    ResetAppOptions();
    ResetDevOptions();
    TheEffectSettings().SetToDefault();
    ResetObjectOptions();
    // Empty, so that new sounds get the built-in default format.
    TheDefaultFormat().SetSize(0);
}

void ParseSettingValue(int keyId, const char* text)
{
    if (text == nullptr)
        return;
    AppOptions& options = TheAppOptions();
    EffectSettings& effects = TheEffectSettings();
    int32_t v[MAX_KEY_NUMBERS];
    int n = 0;

    switch (keyId) {
    case STR_KEY_FILE1:
    case STR_KEY_FILE2:
    case STR_KEY_FILE3:
    case STR_KEY_FILE4:
        AddRecentFile(text, false);
        break;
    case STR_KEY_DISPLAY:
        n = ParseIntList(v, text, 4);
        SetFlags(v, n, {&options.showWaveform, &options.showLocations, &options.leftChannel,
                           &options.rightChannel});
        // A hand-edited value may turn both channels off; one is always shown.
        if (!options.leftChannel && !options.rightChannel)
            options.leftChannel = options.rightChannel = 1;
        break;
    case STR_KEY_LOCATION:
        if (ParseIntList(v, text, 4) == 4)
            SetFields(v, 4, {&options.frameX, &options.frameY, &options.frameWidth, &options.frameHeight});
        break;
    case STR_KEY_DISPOPTS:
        n = ParseIntList(v, text, 2);
        SetFlags(v, n, {&options.showEnd});
        // Only the units the display options offer: seconds, bytes, samples.
        if (n >= 2 && v[1] >= LENGTH_UNIT_TIME && v[1] <= LENGTH_UNIT_SAMPLES)
            options.defaultLengthUnit = v[1];
        break;
    case STR_KEY_DEVICE:
        LoadDeviceOptions(text);
        break;
    case STR_KEY_BUFFERS:
        n = ParseIntList(v, text, 2);
        if (n >= 1)
            options.buffers.recordLimit = static_cast<uint16_t>(v[0]);
        if (n >= 2)
            options.buffers.bufferSeconds = static_cast<uint16_t>(v[1]);
        break;
    case STR_KEY_UNDO:
        n = ParseIntList(v, text, 2);
        if (n >= 1)
            options.undoCount = static_cast<uint16_t>(v[0]);
        if (n >= 2)
            options.undoMemory = static_cast<uint32_t>(v[1]);
        break;
    case STR_KEY_MIX:
        // A third number makes the whole value unusable.
        n = ParseIntList(v, text, 3);
        if (n <= 2)
            SetFields(v, n, {&options.mixNew, &options.mixOld});
        break;
    case STR_KEY_OLE:
        ParseObjectOptions(text);
        break;
    case STR_KEY_FORMAT:
        // Any text gives a usable format: what it lacks comes from the default.
        TheDefaultFormat().FromText(text);
        break;
    case STR_KEY_PLAYRATE:
        n = ParseIntList(v, text, 1);
        SetFields(v, n, {&options.playRate});
        break;
    case STR_KEY_AMPLIFY:
        n = ParseIntList(v, text, 1);
        SetFields(v, n, {&effects.amplification});
        break;
    case STR_KEY_FADE:
        n = ParseIntList(v, text, 2);
        SetFields(v, n, {&effects.fadeStart, &effects.fadeEnd});
        break;
    case STR_KEY_ECHO:
        n = ParseIntList(v, text, 3);
        if (n >= 3)
            v[2] = Flag(v[2]);
        SetFields(v, n, {&effects.echoStrength, &effects.echoDelay, &effects.echoChorus});
        break;
    case STR_KEY_PITCH:
        n = ParseIntList(v, text, 1);
        SetFields(v, n, {&effects.pitchFactor});
        break;
    case STR_KEY_BACKGROUND:
        n = ParseIntList(v, text, 3);
        if (n >= 3)
            v[2] = Flag(v[2]);
        SetFields(v, n, {&effects.noiseThreshold, &effects.noiseDuration, &effects.noiseDelete});
        break;
    case STR_KEY_TONE:
        n = ParseIntList(v, text, 5);
        SetFields(v, n, {&effects.toneShape, &effects.tone1Frequency, &effects.tone1Amplitude,
                            &effects.tone2Frequency, &effects.tone2Amplitude});
        break;
    case STR_KEY_FILL:
        n = ParseIntList(v, text, 1);
        SetFields(v, n, {&effects.fillValue});
        break;
    case STR_KEY_INSERT:
        n = ParseIntList(v, text, 1);
        SetFields(v, n, {&effects.insertLength});
        break;
    case STR_KEY_EXTRA:
        n = ParseIntList(v, text, 1);
        SetFlags(v, n, {&options.extra});
        break;
    case STR_KEY_USEACM:
        n = ParseIntList(v, text, 1);
        SetFlags(v, n, {&options.useAcm});
        break;
    default:
        break;
    }
}

int FormatSettingValue(int keyId, char* out, int size)
{
    if (out == nullptr || size < 1)
        return 0;
    out[0] = '\0';
    const AppOptions& options = TheAppOptions();
    const EffectSettings& effects = TheEffectSettings();

    switch (keyId) {
    case STR_KEY_FILE1:
    case STR_KEY_FILE2:
    case STR_KEY_FILE3:
    case STR_KEY_FILE4: {
        const CGStringListRec* entry = RecentFiles().At(keyId - STR_KEY_FILE1);
        return entry != nullptr ? CopyString(out, size, entry->c_str()) : 0;
    }
    case STR_KEY_DISPLAY:
        return FormatNumbers(out, size, {Flag(options.showWaveform), Flag(options.showLocations),
                                            Flag(options.leftChannel), Flag(options.rightChannel)});
    case STR_KEY_LOCATION:
        return FormatNumbers(out, size, {options.frameX, options.frameY, options.frameWidth,
                                            options.frameHeight});
    case STR_KEY_DISPOPTS:
        return FormatNumbers(out, size, {Flag(options.showEnd), options.defaultLengthUnit});
    case STR_KEY_DEVICE:
        return SaveDeviceOptions(out, size);
    case STR_KEY_MIX:
        return FormatNumbers(out, size, {options.mixNew, options.mixOld});
    case STR_KEY_OLE:
        return FormatObjectOptions(out, size);
    case STR_KEY_FORMAT:
        return CopyString(out, size, TheDefaultFormat().ToText());
    case STR_KEY_PLAYRATE:
        return FormatNumbers(out, size, {options.playRate});
    case STR_KEY_AMPLIFY:
        return FormatNumbers(out, size, {effects.amplification});
    case STR_KEY_FADE:
        return FormatNumbers(out, size, {effects.fadeStart, effects.fadeEnd});
    case STR_KEY_ECHO:
        return FormatNumbers(out, size, {effects.echoStrength, effects.echoDelay, Flag(effects.echoChorus)});
    case STR_KEY_PITCH:
        return FormatNumbers(out, size, {effects.pitchFactor});
    case STR_KEY_BACKGROUND:
        return FormatNumbers(out, size, {effects.noiseThreshold, effects.noiseDuration,
                                            Flag(effects.noiseDelete)});
    case STR_KEY_TONE:
        return FormatNumbers(out, size, {effects.toneShape, effects.tone1Frequency, effects.tone1Amplitude,
                                            effects.tone2Frequency, effects.tone2Amplitude});
    case STR_KEY_FILL:
        return FormatNumbers(out, size, {effects.fillValue});
    case STR_KEY_INSERT:
        return FormatNumbers(out, size, {effects.insertLength});
    case STR_KEY_EXTRA:
        return FormatNumbers(out, size, {Flag(options.extra)});
    default:
        // "BUFFERS", "UNDO" and "USEACM" change only when the file is edited by hand.
        return 0;
    }
}

bool ReadSettings()
{
    SettingsStore* store = TheSettingsStore();
    if (store == nullptr)
        return false;
    const char* section = TheApp().className;
    char value[SETTING_VALUE_CHARS + 1];
    for (int id = STR_KEY_FILE1; id <= STR_KEY_USEACM; ++id) {
        const char* key = LoadAppString(id);
        if (*key == '\0')
            continue;
        if (store->Read(section, key, value, sizeof value) > 0)
            ParseSettingValue(id, value);
        else if (id == STR_KEY_DEVICE)
            LookUpDevices();    // a fresh install: the devices' capabilities all the same
    }
    return true;
}

bool WriteSettings()
{
    AppOptions& options = TheAppOptions();
    if (options.settingsChanged == 0)
        return true;
    SettingsStore* store = TheSettingsStore();
    if (store == nullptr)
        return false;
    const char* section = TheApp().className;
    // Longer than any value read, so that a label or path typed in the program
    // is written whole up to this limit.
    char value[1024];
    for (int id = STR_KEY_FILE1; id <= STR_KEY_USEACM; ++id) {
        const char* key = LoadAppString(id);
        if (*key == '\0')
            continue;
        if (FormatSettingValue(id, value, sizeof value) == 0) {
            // A recent file that left the list must not come back from the
            // file at the next start.
            bool recent = id >= STR_KEY_FILE1 && id <= STR_KEY_FILE4;
            if (!recent || store->Read(section, key, value, sizeof value) <= 0)
                continue;
            value[0] = '\0';
        }
        if (!store->Write(section, key, value)) {
            Log("App:WriteSettings %s FAIL", key);
            return false;
        }
    }
    options.settingsChanged = 0;
    return true;
}
