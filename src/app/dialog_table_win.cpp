#include "app/dialog_table_win.h"

#include "app/convert_format_dlg.h"
#include "app/info_dlg.h"
#include "app/mixing_dlg_win.h"
#include "app/object_options_dlg.h"
#include "device/device_dlg.h"
#include "edit/effect_dlg.h"
#include "resource.h"
#include "view/display_options_dlg.h"

namespace {

struct DialogRow {
    int templateId;
    bool (*run)(HWND owner);
};

const DialogRow dialogTable[] = {
    {IDD_AMPLIFY, AmplifyDialog},
    {IDD_ECHO, EchoDialog},
    {IDD_FADE, FadeDialog},
    {IDD_PITCH, PitchDialog},
    {IDD_BACKGROUND, RemoveBackgroundDialog},
    {IDD_FILL, FillDialog},
    {IDD_TONE, ToneDialog},
    {IDD_NOISE, NoiseDialog},
    {IDD_DISPLAY_OPTIONS, DisplayOptionsDialog},
    {IDD_MIXING, MixingOptionsDlg},
    {IDD_OBJECT_OPTIONS, ObjectOptionsDialog},
    {IDD_PROPERTIES, PropertiesDialog},
    {IDD_CONVERT, ConvertFormatDialog},
    {IDD_ABOUT, AboutDialog},
    {IDD_DEVICE_OPTIONS, DeviceOptionsDialog},
    {IDD_DEVICE_INFO, DeviceInfoDialog},
};

}

bool RunProgramDialog(int templateId)
{
    for (const DialogRow& row : dialogTable)
        if (row.templateId == templateId)
            return row.run(nullptr);
    return false;
}

bool HasProgramDialog(int templateId)
{
    for (const DialogRow& row : dialogTable)
        if (row.templateId == templateId)
            return true;
    return false;
}
