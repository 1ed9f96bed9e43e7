// The help topics compiled into the program: a user's guide in plain words,
// one topic per menu command and per dialog, keyed by the context ids the
// program passes with its help requests. The texts live in
// res/help_topics.inc; the help window (app/help_wnd.cpp) shows them.
#pragma once

#include <cstddef>
#include <cstdint>

struct HelpTopic {
    uint32_t firstContext;      // the context ids this topic answers,
    uint32_t lastContext;       // inclusive (the recent files share one)
    const char* title;
    const char* text;           // paragraphs separated by "\n\n"
};

// The topics in contents order; the first is the contents topic
// (HELP_CONTEXT_GENERAL).
const HelpTopic* HelpTopics(size_t& count);

// The topic of a context id; null when no topic answers it.
const HelpTopic* FindHelpTopic(uint32_t context);

// The topic a help request shows: the context's own topic for a context
// request, "How to Use Help" for the viewer's own help, and the contents for
// the contents, a keyword search or a context without a topic.
const HelpTopic& HelpTopicForRequest(uint32_t command, uintptr_t data);
