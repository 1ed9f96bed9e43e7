#include "app/help_wnd.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/app.h"
#include "base/help.h"
#include "base/help_topics.h"
#include "lib/log.h"
#include "resource.h"

namespace {

const char HELP_CLASS[] = "KelvoraHelp";
const char HELP_CAPTION[] = "Kelvora Help";

// Pixels: the window's first size, the margins, the button row and the list.
const int WINDOW_WIDTH = 540;
const int WINDOW_HEIGHT = 440;
const int MARGIN = 6;
const int BUTTON_WIDTH = 80;
const int BUTTON_HEIGHT = 24;
const int LIST_WIDTH = 190;
const int TITLE_HEIGHT = 26;

struct HelpState {
    HWND window = nullptr;
    HFONT font = nullptr;           // the dialog font, not owned
    HFONT titleFont = nullptr;      // owned
    HBRUSH textBrush = nullptr;     // the window colour, not owned (a system brush)
    const HelpTopic* shown = nullptr;
    std::vector<const HelpTopic*> back;
    RECT placement = {};            // where the window was when last closed
};

HelpState state;

HINSTANCE Module()
{
    void* instance = TheApp().instance;
    return instance ? static_cast<HINSTANCE>(instance) : GetModuleHandleA(nullptr);
}

HWND Child(int id)
{
    return GetDlgItem(state.window, id);
}

// The edit control breaks lines only at "\r\n".
std::string EditText(const char* text)
{
    std::string out;
    for (const char* c = text; *c; c++) {
        if (*c == '\n')
            out += '\r';
        out += *c;
    }
    return out;
}

void ShowTopic(const HelpTopic& topic, bool remember)
{
    if (remember && state.shown && state.shown != &topic)
        state.back.push_back(state.shown);
    state.shown = &topic;
    SetWindowTextA(Child(IDC_HELPWND_TITLE), topic.title);
    SetWindowTextA(Child(IDC_HELPWND_TEXT), EditText(topic.text).c_str());
    size_t count = 0;
    const HelpTopic* topics = HelpTopics(count);
    SendMessageA(Child(IDC_HELPWND_LIST), LB_SETCURSEL, static_cast<WPARAM>(&topic - topics), 0);
    EnableWindow(Child(IDC_HELPWND_BACK), !state.back.empty());
}

void GoBack()
{
    if (state.back.empty())
        return;
    const HelpTopic* previous = state.back.back();
    state.back.pop_back();
    ShowTopic(*previous, false);
}

void Layout(int width, int height)
{
    const int top = MARGIN + BUTTON_HEIGHT + MARGIN;
    const int listWidth = std::min(LIST_WIDTH, width / 3);
    const int textLeft = MARGIN + listWidth + MARGIN;
    const int textWidth = std::max(0, width - textLeft - MARGIN);
    const int bottom = std::max(top, height - MARGIN);
    MoveWindow(Child(IDC_HELPWND_CONTENTS), MARGIN, MARGIN, BUTTON_WIDTH, BUTTON_HEIGHT, TRUE);
    MoveWindow(Child(IDC_HELPWND_BACK), MARGIN * 2 + BUTTON_WIDTH, MARGIN, BUTTON_WIDTH, BUTTON_HEIGHT, TRUE);
    MoveWindow(Child(IDC_HELPWND_LIST), MARGIN, top, listWidth, bottom - top, TRUE);
    MoveWindow(Child(IDC_HELPWND_TITLE), textLeft, top, textWidth, TITLE_HEIGHT, TRUE);
    MoveWindow(Child(IDC_HELPWND_TEXT), textLeft, top + TITLE_HEIGHT, textWidth,
        std::max(0, bottom - top - TITLE_HEIGHT), TRUE);
}

void CreateChildren(HWND window)
{
    struct Row {
        int id;
        const char* className;
        const char* text;
        DWORD style;
    };
    const Row rows[] = {
        {IDC_HELPWND_CONTENTS, "BUTTON", "&Contents", BS_PUSHBUTTON | WS_TABSTOP},
        {IDC_HELPWND_BACK, "BUTTON", "&Back", BS_PUSHBUTTON | WS_TABSTOP},
        {IDC_HELPWND_LIST, "LISTBOX", "", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP},
        {IDC_HELPWND_TITLE, "STATIC", "", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE},
        {IDC_HELPWND_TEXT, "EDIT", "",
            ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_BORDER | WS_TABSTOP},
    };
    for (const Row& row : rows) {
        HWND child = CreateWindowExA(0, row.className, row.text, WS_CHILD | WS_VISIBLE | row.style, 0, 0, 0, 0,
            window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(row.id)), Module(), nullptr);
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(row.id == IDC_HELPWND_TITLE ? state.titleFont
                                                                                             : state.font), FALSE);
    }
    size_t count = 0;
    const HelpTopic* topics = HelpTopics(count);
    for (size_t i = 0; i < count; i++)
        SendMessageA(Child(IDC_HELPWND_LIST), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(topics[i].title));
}

void OnCommand(int id, int code)
{
    size_t count = 0;
    const HelpTopic* topics = HelpTopics(count);
    switch (id) {
    case IDC_HELPWND_CONTENTS:
        ShowTopic(topics[0], true);
        break;
    case IDC_HELPWND_BACK:
        GoBack();
        break;
    case IDC_HELPWND_LIST:
        if (code == LBN_SELCHANGE) {
            const LRESULT index = SendMessageA(Child(IDC_HELPWND_LIST), LB_GETCURSEL, 0, 0);
            if (index >= 0 && static_cast<size_t>(index) < count)
                ShowTopic(topics[index], true);
        }
        break;
    default:
        break;
    }
}

LRESULT CALLBACK HelpWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        state.window = window;
        CreateChildren(window);
        return 0;
    case WM_SIZE:
        Layout(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize.x = WINDOW_WIDTH / 2;
        info->ptMinTrackSize.y = WINDOW_HEIGHT / 2;
        return 0;
    }
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        // The read-only text reads as a page, not as a grey field.
        if (reinterpret_cast<HWND>(lParam) == Child(IDC_HELPWND_TEXT)) {
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_DESTROY:
        GetWindowRect(window, &state.placement);
        state.window = nullptr;
        state.shown = nullptr;
        state.back.clear();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterHelpClass()
{
    WNDCLASSA wc = {};
    if (GetClassInfoA(Module(), HELP_CLASS, &wc))
        return true;
    wc.lpfnWndProc = HelpWndProc;
    wc.hInstance = Module();
    wc.hIcon = LoadIconA(Module(), MAKEINTRESOURCEA(IDI_KELVORA));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = HELP_CLASS;
    return RegisterClassA(&wc) != 0;
}

void MakeFonts()
{
    state.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (state.titleFont)
        return;
    LOGFONTA face = {};
    GetObjectA(state.font, sizeof face, &face);
    face.lfWeight = FW_BOLD;
    face.lfHeight = face.lfHeight < 0 ? face.lfHeight * 4 / 3 : -16;
    state.titleFont = CreateFontIndirectA(&face);
}

// At the right edge of the work area, where it covers least of the frame,
// which usually sits at the left; later where the user left it.
RECT StartPlacement()
{
    if (state.placement.right > state.placement.left)
        return state.placement;
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int width = std::min<int>(WINDOW_WIDTH, work.right - work.left);
    const int height = std::min<int>(WINDOW_HEIGHT, work.bottom - work.top);
    return {work.right - width, work.top, work.right, work.top + height};
}

bool CreateHelpWindow(HWND owner)
{
    if (!RegisterHelpClass()) {
        Log("App:Help class FAIL %lu", GetLastError());
        return false;
    }
    MakeFonts();
    const RECT r = StartPlacement();
    HWND window = CreateWindowExA(0, HELP_CLASS, HELP_CAPTION, WS_OVERLAPPEDWINDOW, r.left, r.top,
        r.right - r.left, r.bottom - r.top, owner, nullptr, Module(), nullptr);
    if (!window) {
        Log("App:Help window FAIL %lu", GetLastError());
        return false;
    }
    return true;
}

}

bool ShowHelpWindow(HWND owner, uint32_t command, uintptr_t data)
{
    // F1 over an open menu: the menu closes so the topic can be read.
    EndMenu();
    if (!state.window && !CreateHelpWindow(owner))
        return false;
    ShowTopic(HelpTopicForRequest(command, data), true);
    ShowWindow(state.window, IsIconic(state.window) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(state.window);
    return true;
}

HWND HelpWindow()
{
    return state.window;
}

uint32_t HelpWindowContext()
{
    return state.window && state.shown ? state.shown->firstContext : 0;
}

void CloseHelpWindow()
{
    if (state.window)
        DestroyWindow(state.window);
}
