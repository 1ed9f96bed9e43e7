#include "base/help_topics.h"

#include "base/app.h"
#include "base/help.h"
#include "resource.h"

namespace {

const HelpTopic topics[] = {
#define KV_HELP_TOPIC(first, last, title, text) {first, last, title, text},
#include "help_topics.inc"
#undef KV_HELP_TOPIC
};

}

const HelpTopic* HelpTopics(size_t& count)
{
    count = sizeof topics / sizeof topics[0];
    return topics;
}

const HelpTopic* FindHelpTopic(uint32_t context)
{
    for (const HelpTopic& topic : topics) {
        if (context >= topic.firstContext && context <= topic.lastContext)
            return &topic;
    }
    return nullptr;
}

const HelpTopic& HelpTopicForRequest(uint32_t command, uintptr_t data)
{
    const HelpTopic* topic = nullptr;
    if (command == HELP_CMD_CONTEXT && data <= UINT32_MAX)
        topic = FindHelpTopic(static_cast<uint32_t>(data));
    else if (command == HELP_CMD_HELP_ON_HELP)
        topic = FindHelpTopic(IDM_HELP_HOWTO);
    return topic ? *topic : topics[0];
}
