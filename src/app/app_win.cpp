#include "app/app_win.h"

#include "app/command_line.h"
#include "app/core_links.h"
#include "app/error_box_win.h"
#include "app/frame_wnd.h"
#include "app/host_win.h"
#include "app/settings.h"
#include "app/settings_store_win.h"
#include "app/shell_registration_win.h"
#include "app/string_source_win.h"
#include "base/app.h"
#include "base/app_options.h"
#include "base/error_message.h"
#include "base/file_names.h"
#include "base/intl_settings.h"
#include "base/string_ids.h"
#include "base/string_table.h"
#include "device/engine.h"
#include "device/wave_device_win.h"
#include "edit/actions.h"
#include "lib/log.h"
#include "lib/log_sink_win.h"
#include "lib/window_base_win.h"
#include "resource.h"
#include "sound/compression_manager_win.h"
#include "sound/file_win.h"

namespace {

DebugOutputLogSink debugSink;
PrivateProfileStore iniStore;
SystemProfileStore systemProfile;
WindowsHost windowsHost;
WindowsShellSystem windowsShell;

// The INI file is named after the program file. When the platform's file
// search finds it, its full path is used; otherwise the bare name, which the
// profile services place in the Windows directory.
void FindIniFile(App& app)
{
    const char* path = app.programPath.c_str();
    CGString name = SiblingFileName(path + FindFileName(path), ".INI");
    OFSTRUCT of = {};
    of.cBytes = sizeof(of);
    if (OpenFile(name.c_str(), &of, OF_EXIST) != HFILE_ERROR)
        app.iniPath = of.szPathName;
    else
        app.iniPath = name;
}

// The variable-pitch system font measured on the display; every layout uses it.
bool MeasureFont(App& app)
{
    LONG units = GetDialogBaseUnits();
    app.dialogBaseX = LOWORD(units);
    app.dialogBaseY = HIWORD(units);
    HDC ic = CreateICA("DISPLAY", nullptr, nullptr, nullptr);
    if (!ic)
        return false;
    HGDIOBJ old = SelectObject(ic, GetStockObject(SYSTEM_FONT));
    TEXTMETRICA tm;
    bool ok = GetTextMetricsA(ic, &tm) != FALSE;
    if (ok) {
        app.charWidth = tm.tmAveCharWidth;
        app.charHeight = tm.tmHeight;
        for (int i = 0; i < 4 && ok; i++) {
            const char* label = LoadAppString(STR_LABEL_FIRST + i);
            SIZE size;
            ok = GetTextExtentPoint32A(ic, label, lstrlenA(label), &size) != FALSE;
            app.labelWidths[i] = size.cx + app.charWidth;
        }
    }
    SelectObject(ic, old);
    DeleteDC(ic);
    return ok && app.charWidth > 0 && app.charHeight > 0;
}

bool RegisterFrameClass(App& app)
{
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.hInstance = static_cast<HINSTANCE>(app.instance);
    wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCEA(IDI_KELVORA));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = MAKEINTRESOURCEA(IDM_MENU);
    wc.lpszClassName = app.className;
    return RegisterWindowClass(wc) != 0;
}

// Another instance's frame: the new one opens two dialog base units further
// right and down, with the same size.
void PlaceBesideOtherInstance(const App& app)
{
    HWND other = FindWindowA(app.className, nullptr);
    if (!other || IsIconic(other))
        return;
    RECT r;
    if (!GetWindowRect(other, &r))
        return;
    AppOptions& options = TheAppOptions();
    options.frameX = r.left + 2 * app.dialogBaseX;
    options.frameY = r.top + 2 * app.dialogBaseY;
    options.frameWidth = r.right - r.left;
    options.frameHeight = r.bottom - r.top;
}

}

int AppStartup(HINSTANCE instance, bool previousInstance, const char* commandLine, int showMode)
{
    App& app = TheApp();
    SetLogSink(&debugSink);
    SetHost(&windowsHost);
    SetSettingsStore(&iniStore);
    SetSystemProfile(&systemProfile);
    SetShellSystem(&windowsShell);
    SetCompressionManager(&TheSystemCompressionManager());
    SetFileSystem(&TheSystemFileSystem());
    // Before the settings: the "DEVICE" value looks the devices up.
    SetWaveDevices(&TheSystemWaveDevices());
    InstallCoreLinks();

    app.instance = instance;
    app.commandLine = commandLine ? commandLine : "";
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(instance, path, MAX_PATH);
    app.programPath = path;
    FindIniFile(app);
    app.showMode = showMode;

    // The message queue of the 16-bit platform was sized here; a 32-bit queue
    // grows by itself, so only its creation can fail.
    MSG peek;
    PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE);

    static ResourceStringSource resourceStrings(instance);
    if (!TheStringTable().Load(resourceStrings) || !MeasureFont(app))
        return ERR_RESOURCES;

    app.invHighlight = ~GetSysColor(COLOR_HIGHLIGHT) & 0xFFFFFF;
    app.invHighlightText = ~GetSysColor(COLOR_HIGHLIGHTTEXT) & 0xFFFFFF;
    app.cursorOwn = LoadCursorA(instance, MAKEINTRESOURCEA(IDC_KELVORA_CURSOR));
    app.cursorSizeWE = LoadCursorA(nullptr, MAKEINTRESOURCEA(32644));
    app.cursorArrow = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    app.actionState = ACTSTATE_REPLACING;

    if (!previousInstance && !RegisterFrameClass(app))
        return ERR_RESOURCES;

    app.accelMain = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_MAIN));
    app.accelEdit = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_EDIT));
    app.accelLocation = LoadAcceleratorsA(instance, MAKEINTRESOURCEA(IDA_LOCATION));
    app.buttonFaceBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));

    ReadIntlSettings(*TheSystemProfile());
    ReadSettings();
    if (!ParseCommandLine(1))
        return -1;
    RegisterWithShell(windowsShell);
    PlaceBesideOtherInstance(app);
    if (!ParseCommandLine(2))
        return -1;

    if (!CreateFrameWindow())
        return ERR_RESOURCES;

    // Start-up playback keeps closeWhenDone: when it ends, the engine asks
    // the frame to close and the program ends through its normal shutdown.
    if (app.playOnStart) {
        int rc = PlayAtStartUp();
        if (rc == 0) {
            app.frame->Show(app.showMode);
            ResetUndoHistory(ACTSTATE_READY);
            return 0;
        }
        if (rc > 0 && !app.closeWhenDone)
            ShowError(nullptr, rc);
    }
    // A "close" run with nothing played ends without a window or a message.
    if (app.closeWhenDone) {
        DestroyWindow(app.frame->hwnd);
        return -1;
    }
    app.frame->Show(app.showMode);
    ResetUndoHistory(ACTSTATE_READY);
    return 0;
}

void AppCleanup()
{
    App& app = TheApp();
    for (void* accel : {app.accelMain, app.accelEdit, app.accelLocation}) {
        if (accel)
            DestroyAcceleratorTable(static_cast<HACCEL>(accel));
    }
    if (app.buttonFaceBrush)
        DeleteObject(static_cast<HBRUSH>(app.buttonFaceBrush));
    if (app.cursorOwn)
        DestroyCursor(static_cast<HCURSOR>(app.cursorOwn));
    SetHost(nullptr);
    SetShellSystem(nullptr);
    SetWaveDevices(nullptr);
    SetLogSink(nullptr);
    ResetApp();
}

int KelvoraMain(HINSTANCE instance, const char* commandLine, int showMode)
{
    int rc = AppStartup(instance, false, commandLine, showMode);
    int exitCode = 0;
    if (rc == 0) {
        exitCode = RunMainLoop();
    } else if (rc > 0) {
        ShowError(nullptr, rc);
        exitCode = rc;
    }
    AppCleanup();
    return exitCode;
}
