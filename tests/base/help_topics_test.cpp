#include <set>
#include <string>

#include <gtest/gtest.h>

#include "base/app.h"
#include "base/help.h"
#include "base/help_topics.h"
#include "resource.h"

namespace {

// Every context id the program passes with a help request: the general
// context, the file dialogs' (Open and Paste File, Save), each dialog's own
// id, and the command id of each menu item that can be highlighted.
const uint32_t usedContexts[] = {
    HELP_CONTEXT_GENERAL, 2001, 2002,
    IDD_PROPERTIES, IDD_CONVERT, IDD_DEVICE_OPTIONS, IDD_DISPLAY_OPTIONS, IDM_OPT_OBJECT, IDD_MIXING,
    IDD_AMPLIFY, IDD_ECHO, IDD_FADE, IDD_PITCH, IDD_BACKGROUND, IDD_FILL, IDD_TONE, IDD_NOISE,
    IDD_ABOUT, IDD_DEVICE_INFO, IDD_RECORD_INFO, IDD_PLAY_INFO, IDD_PROGRESS, IDD_VOLUME,
    IDM_FILE_NEW, IDM_FILE_OPEN, IDM_FILE_SAVE, IDM_FILE_SAVE_AS, IDM_FILE_PROPERTIES, IDM_FILE_EXIT,
    IDM_FILE_RECENT1, IDM_FILE_RECENT1 + 1, IDM_FILE_RECENT1 + 2, IDM_FILE_RECENT4,
    IDM_EDIT_UNDO, IDM_EDIT_REDO, IDM_EDIT_CUT, IDM_EDIT_COPY, IDM_EDIT_PASTE, IDM_EDIT_PASTE_FILE,
    IDM_EDIT_DELETE, IDM_EDIT_SELECT_ALL, IDM_EDIT_GOTO_START, IDM_EDIT_GOTO_END,
    IDM_VIEW_ZOOM_SELECT, IDM_VIEW_ZOOM_OUT, IDM_VIEW_ZOOM_IN, IDM_VIEW_DISPLAY_ALL, IDM_VIEW_WAVEFORM,
    IDM_VIEW_LOCATIONS, IDM_VIEW_LEFT, IDM_VIEW_RIGHT, IDM_VIEW_SPECTROGRAM,
    IDM_OPT_CONVERT, IDM_OPT_DEVICE, IDM_OPT_DISPLAY, IDM_OPT_MIXING, IDM_OPT_AMPLIFY, IDM_OPT_ECHO,
    IDM_OPT_FADE, IDM_OPT_PITCH, IDM_FX_BACKGROUND, IDM_FX_FILL, IDM_FX_TONE, IDM_FX_NOISE, IDM_FX_SILENCE,
    IDM_FX_LOWPASS, IDM_FX_REVERSE, IDM_FX_MEASURE, IDM_FX_NORMALIZE,
    IDM_HELP_CONTENTS, IDM_HELP_SEARCH, IDM_HELP_HOWTO, IDM_HELP_ABOUT, IDM_HELP_DEVICE_INFO,
};

TEST(HelpTopicsTest, EveryUsedContextHasItsOwnWrittenTopic)
{
    size_t count = 0;
    const HelpTopic* topics = HelpTopics(count);
    ASSERT_GT(count, 0u);
    EXPECT_EQ(uint32_t(HELP_CONTEXT_GENERAL), topics[0].firstContext);
    for (uint32_t context : usedContexts) {
        const HelpTopic* topic = FindHelpTopic(context);
        ASSERT_NE(nullptr, topic) << context;
        EXPECT_GT(std::string(topic->text).size(), std::string(topic->title).size()) << context;
    }
    // Titles name the topics in the list: none twice, and no two topics
    // claim one context.
    std::set<std::string> titles;
    for (size_t i = 0; i < count; i++) {
        EXPECT_TRUE(titles.insert(topics[i].title).second) << topics[i].title;
        EXPECT_LE(topics[i].firstContext, topics[i].lastContext);
        for (size_t j = i + 1; j < count; j++)
            EXPECT_TRUE(topics[j].lastContext < topics[i].firstContext
                || topics[j].firstContext > topics[i].lastContext) << topics[i].title << " / " << topics[j].title;
    }
    EXPECT_EQ(nullptr, FindHelpTopic(IDM_HELP_CONTEXT));
}

TEST(HelpTopicsTest, RequestsMapToTheirTopics)
{
    const struct {
        uint32_t command;
        uintptr_t data;
        uint32_t context;
    } cases[] = {
        {HELP_CMD_CONTEXT, IDD_ECHO, IDD_ECHO},
        {HELP_CMD_CONTEXT, IDM_FILE_RECENT1 + 2, IDM_FILE_RECENT1},
        {HELP_CMD_CONTEXT, HELP_CONTEXT_GENERAL, HELP_CONTEXT_GENERAL},
        {HELP_CMD_CONTEXT, 1, HELP_CONTEXT_GENERAL},                    // no topic: the contents
        {HELP_CMD_CONTEXT, uintptr_t(UINT32_MAX) + IDD_ECHO + 1, HELP_CONTEXT_GENERAL},
        {HELP_CMD_CONTENTS, HELP_CONTEXT_GENERAL, HELP_CONTEXT_GENERAL},
        {HELP_CMD_PARTIAL_KEY, reinterpret_cast<uintptr_t>(""), HELP_CONTEXT_GENERAL},
        {HELP_CMD_HELP_ON_HELP, 0, IDM_HELP_HOWTO},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.context, HelpTopicForRequest(c.command, c.data).firstContext) << c.command << " " << c.data;
}

}
