// The command line: file names and the options "play", "close", "hide",
// "uninstall" and "Embedding" after "-" or "/". Start-up parses it twice: pass
// 1 takes the options before anything is set up, pass 2 (once the settings are
// read) takes the file names as well. Options are honoured in both passes.
// Pass 2 opens each file as the document in turn (a later one replaces an
// earlier one without a question); when it gave no file, or none could be
// opened, the editor starts with a new empty sound.
#pragma once

#include "lib/string_list.h"

// Splits TheApp().commandLine into tokens and hands each to
// HandleCommandToken. Tokens are separated by blanks outside double quotes; a
// quote starts or ends a quoted part, which may hold blanks, and is itself
// removed (the shell passes `"C:\My Sounds\a b.wav"` as one file name). Runs
// of blanks and empty quotes give no tokens. False as soon as a token says
// the program is to end.
bool ParseCommandLine(int pass);

// One token. A token not starting with "-" or "/" is a file name: it sets
// fileGiven, and in pass 2 is opened; when that fails, fileGiven is cleared
// and the result is false if the program was only to play it. Otherwise the rest
// of the token is compared, ignoring case, with the option words: "play" sets
// playOnStart; "close" sets playOnStart and closeWhenDone; "hide" makes the
// show mode hidden; "uninstall" asks whether to uninstall the program (on the
// installed ShellSystem) and does it after Yes, then sets closeWhenDone and
// returns false (the program ends without a window whatever the answer);
// "Embedding" and unknown words change nothing. True otherwise.
bool HandleCommandToken(const char* token, int pass);
