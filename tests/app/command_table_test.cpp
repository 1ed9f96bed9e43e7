#include "app/command_table.h"

#include <cstdlib>

#include "base/app.h"
#include "base/help.h"
#include "edit/effect_settings.h"
#include "edit/level_effects.h"
#include "support/effect_fixture.h"
#include "resource.h"

namespace {

class CommandTableTest : public EffectTest {};

// Undo and redo apply these records through the table: a missing or wrong
// row would make them do nothing.
TEST_F(CommandTableTest, EveryActionTheEditingLayerCannotApplyHasItsRow)
{
    const int applied[] = {
        ACTION_DISPLAY_OPTIONS, ACTION_TOGGLE_WAVE, ACTION_TOGGLE_LOCATIONS, ACTION_TOGGLE_LEFT,
        ACTION_TOGGLE_RIGHT, ACTION_AMPLIFY, ACTION_FADE, ACTION_ECHO, ACTION_PITCH, ACTION_SILENCE,
        ACTION_LOW_PASS, ACTION_REMOVE_BACKGROUND, ACTION_FILL, ACTION_REVERSE, ACTION_TONE,
        ACTION_NOISE, ACTION_NORMALIZE,
    };
    for (int action : applied) {
        SCOPED_TRACE(ActionName(action));
        int command = std::abs(ActionTable[action].command);
        const CommandRow* row = command ? FindCommand(command) : nullptr;
        if (command) {
            ASSERT_NE(nullptr, row);
            EXPECT_EQ(action, row->action);
        }
        EXPECT_NE(-1, ApplyAction(action, nullptr, 0)) << "no row applies it";
    }
}

TEST_F(CommandTableTest, CommandsRunByTheirRowsAndRedoRunsAnEffectAgain)
{
    Load(1, 16, {1, 2, 3, 4, 5, 6}, 0, 6);
    ASSERT_EQ(0, RunCommand(IDM_FX_REVERSE, false));
    EXPECT_EQ(Samples({6, 5, 4, 3, 2, 1}), Read());
    ASSERT_EQ(0, RunCommand(IDM_EDIT_UNDO, false));
    EXPECT_EQ(Samples({1, 2, 3, 4, 5, 6}), Read());
    ASSERT_EQ(0, RunCommand(IDM_EDIT_REDO, false));
    EXPECT_EQ(Samples({6, 5, 4, 3, 2, 1}), Read());

    // A rule that does not hold refuses the command and changes nothing.
    SetSelection(2, 0, ORIGIN_PROGRAM);
    EXPECT_FALSE(CommandEnabled(*FindCommand(IDM_EDIT_DELETE)));
    EXPECT_EQ(-1, RunCommand(IDM_EDIT_DELETE, false));
    EXPECT_EQ(6, doc.length);
    EXPECT_FALSE(CommandEnabled(*FindCommand(IDM_VIEW_LEFT)));     // mono
    // Ids without a row are not the table's.
    EXPECT_EQ(nullptr, FindCommand(12345));
    EXPECT_EQ(0, RunCommand(12345, false));
}

// What the menu bar shows when it opens, in the states a user meets.
TEST_F(CommandTableTest, MenuStatesFollowTheSoundTheViewAndTheFrame)
{
    auto rule = [](int id) { return CommandRuleHolds(*FindCommand(id)); };
    AppOptions& options = TheAppOptions();
    options.showWaveform = 1;

    // No sound: nothing to select, zoom, save or channel-switch.
    SetSound(PcmFormat(1, 16, 11025), {});
    for (int id : {IDM_FILE_SAVE_AS, IDM_EDIT_SELECT_ALL, IDM_EDIT_GOTO_START, IDM_EDIT_GOTO_END,
                   IDM_VIEW_ZOOM_SELECT, IDM_VIEW_DISPLAY_ALL, IDM_VIEW_ZOOM_IN, IDM_VIEW_ZOOM_OUT,
                   IDM_FILE_SAVE, IDM_EDIT_DELETE, IDM_VIEW_LEFT, IDM_EDIT_UNDO, IDM_EDIT_REDO,
                   IDM_EDIT_CUT, IDM_MSG_COPY, IDM_EDIT_PASTE})
        EXPECT_FALSE(MenuItemEnabled(id)) << id;
    for (int id : {IDM_VIEW_WAVEFORM, IDM_VIEW_LOCATIONS, IDM_FILE_EXIT, IDM_HELP_CONTENTS, IDM_FX_REVERSE,
                   IDM_FILE_NEW, IDM_FILE_OPEN, IDM_EDIT_PASTE_FILE, IDM_FILE_RECENT1, IDM_OPT_OBJECT})
        EXPECT_TRUE(MenuItemEnabled(id)) << id;

    // 16-bit stereo, a selection, unsaved changes, sound on the clipboard.
    Load(2, 16, {1, 2, 3, 4, 5, 6, 7, 8}, 1, 2);
    doc.changeCount = 1;
    host.clipboardSound = true;
    for (int id : {IDM_EDIT_SELECT_ALL, IDM_VIEW_ZOOM_SELECT, IDM_EDIT_DELETE, IDM_VIEW_LEFT, IDM_VIEW_RIGHT,
                   IDM_EDIT_CUT, IDM_EDIT_COPY, IDM_EDIT_PASTE, IDM_OPT_MIXING})
        EXPECT_TRUE(MenuItemEnabled(id)) << id;
    for (int id : {IDM_FILE_SAVE, IDM_FILE_SAVE_AS, IDM_EDIT_PASTE, IDM_EDIT_COPY, IDM_OPT_MIXING})
        EXPECT_TRUE(rule(id)) << id;
    doc.readOnly = 1;
    EXPECT_FALSE(rule(IDM_FILE_SAVE));
    doc.readOnly = 0;
    doc.changeCount = 0;
    EXPECT_FALSE(rule(IDM_FILE_SAVE));
    host.clipboardSound = false;
    EXPECT_FALSE(rule(IDM_EDIT_PASTE));

    // Zoom In stops at 20 blocks shown, Zoom Out at the view's cap; neither
    // without the waveform.
    Selection& sel = TheSelection();
    sel.viewLength = 20;
    EXPECT_FALSE(MenuItemEnabled(IDM_VIEW_ZOOM_IN));
    sel.viewLength = 21;
    EXPECT_TRUE(MenuItemEnabled(IDM_VIEW_ZOOM_IN));
    sel.viewLength = ViewLengthCap();
    EXPECT_FALSE(MenuItemEnabled(IDM_VIEW_ZOOM_OUT));
    sel.viewLength = ViewLengthCap() - 1;
    EXPECT_TRUE(MenuItemEnabled(IDM_VIEW_ZOOM_OUT));
    options.showWaveform = 0;
    EXPECT_FALSE(MenuItemEnabled(IDM_VIEW_ZOOM_OUT));
    EXPECT_FALSE(MenuItemEnabled(IDM_VIEW_DISPLAY_ALL));
    host.maximized = true;
    EXPECT_FALSE(MenuItemEnabled(IDM_VIEW_WAVEFORM));
    host.maximized = false;

    // Compressed and 24-bit sound: no channel switching, no mixing options,
    // and the effects, which could change nothing, are refused, not run.
    const KvWaveFormat alaw = {WAVE_TAG_ALAW, 2, 8000, 16000, 2, 8, 0};
    const KvWaveFormat wide = {WAVE_TAG_PCM, 2, 8000, 48000, 6, 24, 0};
    for (const KvWaveFormat& f : {alaw, wide}) {
        SetSound(f, Bytes(size_t(f.nBlockAlign) * 20, 0xD5), 0, 0, 20);
        EXPECT_FALSE(MenuItemEnabled(IDM_VIEW_LEFT));
        EXPECT_FALSE(rule(IDM_OPT_MIXING));
        EXPECT_TRUE(rule(IDM_EDIT_DELETE));
        EXPECT_EQ(-1, RunCommand(IDM_FX_REVERSE, false));
        EXPECT_FALSE(MenuItemEnabled(IDM_FX_SILENCE));
    }

    // Undo and Redo in the menu bar need a record; the popup's Undo does not.
    Load(1, 16, {1, 2, 3, 4}, 0, 4);
    EXPECT_FALSE(MenuItemEnabled(IDM_EDIT_UNDO));
    EXPECT_TRUE(CommandEnabled(*FindCommand(IDM_EDIT_UNDO)));
    ASSERT_EQ(0, RunCommand(IDM_FX_REVERSE, false));
    EXPECT_TRUE(MenuItemEnabled(IDM_EDIT_UNDO));
    EXPECT_FALSE(MenuItemEnabled(IDM_EDIT_REDO));

    // While an action runs only Stop and Esc are enabled.
    std::vector<int> enabledWhileBusy;
    host.onPump = [&] {
        for (const int id : {IDM_EDIT_UNDO, IDM_EDIT_DELETE, IDM_VIEW_LOCATIONS, IDM_FX_REVERSE, IDM_STOP,
                             IDB_STOP, IDM_ESCAPE, IDM_HELP_CONTENTS})
            if (MenuItemEnabled(id))
                enabledWhileBusy.push_back(id);
    };
    Load(1, 8, Samples(40000, 3), 0, 40000, 4096);
    Reverse();
    EXPECT_EQ((std::vector<int>{IDM_STOP, IDB_STOP, IDM_ESCAPE}), enabledWhileBusy);
}

TEST_F(CommandTableTest, CheckMarksShowTheDisplayTogglesAndHelpGoesToTheViewer)
{
    AppOptions& options = TheAppOptions();
    options.showWaveform = 1;
    options.showLocations = 0;
    options.leftChannel = 1;
    options.rightChannel = 0;
    EXPECT_TRUE(MenuItemChecked(IDM_VIEW_WAVEFORM));
    EXPECT_FALSE(MenuItemChecked(IDM_VIEW_LOCATIONS));
    EXPECT_TRUE(MenuItemChecked(IDM_VIEW_LEFT));
    EXPECT_FALSE(MenuItemChecked(IDM_VIEW_RIGHT));
    EXPECT_FALSE(MenuItemChecked(IDM_VIEW_SPECTROGRAM));
    int spectrogram = 0;
    TheApp().spectrogram = &spectrogram;
    EXPECT_TRUE(MenuItemChecked(IDM_VIEW_SPECTROGRAM));
    TheApp().spectrogram = nullptr;

    TheApp().helpContext = IDM_FILE_OPEN;
    ASSERT_EQ(0, RunCommand(IDM_HELP_CONTEXT, false));
    ASSERT_EQ(0, RunCommand(IDM_HELP_CONTENTS, false));
    ASSERT_EQ(0, RunCommand(IDM_HELP_SEARCH, false));
    ASSERT_EQ(3u, host.helpRequests.size());
    EXPECT_EQ(std::make_pair(uint32_t(HELP_CMD_CONTEXT), uintptr_t(IDM_FILE_OPEN)), host.helpRequests[0]);
    EXPECT_EQ(std::make_pair(uint32_t(HELP_CMD_CONTENTS), uintptr_t(HELP_CONTEXT_GENERAL)), host.helpRequests[1]);
    EXPECT_EQ(HELP_CMD_PARTIAL_KEY, host.helpRequests[2].first);
    EXPECT_STREQ("", reinterpret_cast<const char*>(host.helpRequests[2].second));
}

}
