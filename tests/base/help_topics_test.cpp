#include <set>
#include <string>

#include <gtest/gtest.h>

#include "base/app.h"
#include "base/help.h"
#include "base/help_topics.h"
#include "resource.h"

namespace {

// Every menu item and dialog of the program's resources has a topic (seen
// where the resources are, on Windows); here, the topics themselves.
TEST(HelpTopicsTest, TopicsAreWrittenNamedOnceAndClaimTheirOwnContexts)
{
    size_t count = 0;
    const HelpTopic* topics = HelpTopics(count);
    ASSERT_GT(count, 0u);
    EXPECT_EQ(uint32_t(HELP_CONTEXT_GENERAL), topics[0].firstContext);
    // The recent files' items are made at run time, outside the resources.
    for (uint32_t context = IDM_FILE_RECENT1; context <= IDM_FILE_RECENT4; context++)
        EXPECT_NE(nullptr, FindHelpTopic(context)) << context;
    EXPECT_EQ(nullptr, FindHelpTopic(IDM_HELP_CONTEXT));
    // Titles name the topics in the list: none twice, and no two topics
    // claim one context.
    std::set<std::string> titles;
    for (size_t i = 0; i < count; i++) {
        EXPECT_GT(std::string(topics[i].text).size(), std::string(topics[i].title).size()) << topics[i].title;
        EXPECT_TRUE(titles.insert(topics[i].title).second) << topics[i].title;
        EXPECT_LE(topics[i].firstContext, topics[i].lastContext);
        for (size_t j = i + 1; j < count; j++)
            EXPECT_TRUE(topics[j].lastContext < topics[i].firstContext
                || topics[j].firstContext > topics[i].lastContext) << topics[i].title << " / " << topics[j].title;
    }
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
