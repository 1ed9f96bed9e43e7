// The help viewer's commands, as the platform numbers them, for the host's
// ShowHelp. The help file is the program file with ".HLP" in place of its
// extension; its topics are numbered by the context ids the program passes
// (HELP_CONTEXT_GENERAL, a dialog's id, a highlighted menu command's id).
#pragma once

#include <cstdint>

enum : uint32_t {
    HELP_CMD_CONTEXT = 1,           // the topic of a context id
    HELP_CMD_CONTENTS = 3,          // the contents topic
    HELP_CMD_HELP_ON_HELP = 4,      // the viewer's own help; no file
    HELP_CMD_PARTIAL_KEY = 261,     // keyword search; data points to the keyword
};
