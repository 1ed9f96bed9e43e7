// The command line: file names and the options "play", "close", "hide",
// "uninstall" and "Embedding" after "-" or "/". Start-up parses it twice: pass
// 1 takes the options before anything is set up, pass 2 (once the settings are
// read) takes the file names as well. Options are honoured in both passes.
//
// Opening the files is not done here yet: pass 2 keeps the names, in order, in
// CommandLineFiles(), and when it gave no file at all it asks for a new empty
// document through NewDocumentRequested(). Start-up acts on both once the
// document exists.
#pragma once

#include "lib/string_list.h"

// Splits TheApp().commandLine at blanks (no quoting: a path with blanks is
// several tokens; runs of blanks give no empty tokens) and hands each token to
// HandleCommandToken. False as soon as a token says the program is to end.
bool ParseCommandLine(int pass);

// One token. A token not starting with "-" or "/" is a file name: it sets
// fileGiven, and in pass 2 is kept in CommandLineFiles(). Otherwise the rest
// of the token is compared, ignoring case, with the option words: "play" sets
// playOnStart; "close" sets playOnStart and closeWhenDone; "hide" makes the
// show mode hidden; "uninstall" sets closeWhenDone and returns false (the
// program ends); "Embedding" and unknown words change nothing. True otherwise.
bool HandleCommandToken(const char* token, int pass);

// The file names of pass 2, in command-line order.
CGStringList& CommandLineFiles();

// True after a pass 2 that gave no file name.
bool NewDocumentRequested();

// Forgets the file names and the new-document request (tests).
void ResetCommandLine();
