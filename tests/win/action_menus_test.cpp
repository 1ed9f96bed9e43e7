// The action items of the real frame's menu bar as a user finds them when
// the menu opens: the Edit items' mode words and states and the contents of
// the "Other Effects" popup, for the selections, mixing settings and sound
// formats that change them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/app_win.h"
#include "app/frame_wnd.h"
#include "base/app.h"
#include "base/app_options.h"
#include "resource.h"
#include "support/core_state.h"
#include "support/running_app.h"

namespace {

// Opens the menu bar and its "Other Effects" popup as the system does.
struct OpenedMenu {
    std::string paste;
    std::vector<std::string> effects;
    bool deleteEnabled = false;
    bool amplifyEnabled = false;
    bool reverseEnabled = false;
};

OpenedMenu OpenMenu(HWND frame)
{
    HMENU bar = GetMenu(frame);
    SendMessageA(frame, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
    HMENU options = GetSubMenu(bar, 3);
    const int last = GetMenuItemCount(options) - 1;
    HMENU popup = GetSubMenu(options, last);
    SendMessageA(frame, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), MAKELPARAM(last, FALSE));
    OpenedMenu m;
    char text[64];
    GetMenuStringA(bar, IDM_EDIT_PASTE, text, sizeof text, MF_BYCOMMAND);
    m.paste = text;
    for (int i = 0; i < GetMenuItemCount(popup); i++) {
        GetMenuStringA(popup, i, text, sizeof text, MF_BYPOSITION);
        m.effects.push_back(text);
    }
    auto enabled = [&](int id) { return !(GetMenuState(bar, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED)); };
    m.deleteEnabled = enabled(IDM_EDIT_DELETE);
    m.amplifyEnabled = enabled(IDM_OPT_AMPLIFY);
    m.reverseEnabled = GetMenuState(popup, IDM_FX_REVERSE, MF_BYCOMMAND) != UINT(-1) && enabled(IDM_FX_REVERSE);
    return m;
}

class ActionMenusTest : public RunningAppTest {};

TEST_F(ActionMenusTest, LabelsAndEffectsFollowTheSelectionTheMixingAndTheFormat)
{
    const KvWaveFormat pcm16 = PcmFormat(1, 16, 11025);
    const KvWaveFormat aLaw = {6, 1, 8000, 8000, 1, 8, 0};
    const KvWaveFormat pcm24 = {WAVE_TAG_PCM, 1, 8000, 24000, 3, 24, 0};
    const std::vector<std::string> none;
    const std::vector<std::string> inserting = {"Insert Silence", "Insert Fill", "Insert Tone", "Insert Noise"};
    const std::vector<std::string> replacing = {"Silence", "Low Pass Filter", "Remove Background",
        "Replace Fill", "Reverse", "Replace Tone", "Replace Noise", "Measure", "Normalize"};
    const std::vector<std::string> mixing = {"Silence", "Low Pass Filter", "Remove Background",
        "Mix Fill", "Reverse", "Mix Tone", "Mix Noise", "Measure", "Normalize"};
    struct Case {
        const char* what;
        const KvWaveFormat* format;
        int32_t selected;
        int32_t mixOld;
        const char* paste;
        const std::vector<std::string>* effects;
        bool deletes;
    } cases[] = {
        {"nothing selected", &pcm16, 0, 0, "Insert &Paste\tCtrl+V", &inserting, false},
        {"a selection, Replace", &pcm16, 300, 0, "Replace &Paste\tCtrl+V", &replacing, true},
        {"a selection, equal mix", &pcm16, 300, 50, "Mix &Paste\tCtrl+V", &mixing, true},
        // Sound the effects cannot edit: only the edits that take any format
        // remain; the paste replaces whatever the mixing setting says.
        {"compressed", &aLaw, 300, 50, "Replace &Paste\tCtrl+V", &none, true},
        {"24-bit", &pcm24, 300, 50, "Replace &Paste\tCtrl+V", &none, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetSound(*c.format, std::vector<uint8_t>(size_t(1000) * c.format->nBlockAlign, 0x40), 0, 100, c.selected);
        TheAppOptions().mixOld = c.mixOld;
        TheAppOptions().mixNew = c.mixOld ? 50 : 100;
        const OpenedMenu m = OpenMenu(frame);
        EXPECT_EQ(c.paste, m.paste);
        EXPECT_EQ(*c.effects, m.effects);
        EXPECT_EQ(c.deletes, m.deleteEnabled);
        // The effects that run at once are offered enabled where listed.
        EXPECT_EQ(c.selected > 0 && c.effects != &none, m.reverseEnabled);
        if (c.effects == &none || c.selected == 0)
            EXPECT_FALSE(m.amplifyEnabled);
    }
    TheAppOptions().mixOld = 0;
    TheAppOptions().mixNew = 100;
}

}
