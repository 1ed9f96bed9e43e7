#include "app/command_table.h"

#include <cstdlib>

#include "edit/effect_settings.h"
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

}
