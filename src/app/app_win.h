// Start-up, main loop and shutdown of the program on Windows.
#pragma once

#include <windows.h>

// Runs start-up: 0 = run the main loop, -1 = quit silently, else an error code
// that the caller shows.
int AppStartup(HINSTANCE instance, bool previousInstance, const char* commandLine, int showMode);

// Releases what start-up created (cursors, brush, accelerator tables, strings).
void AppCleanup();

// The whole program: start-up, main loop, clean-up. Returns the exit code.
int KelvoraMain(HINSTANCE instance, const char* commandLine, int showMode);

// One message through the accelerator tables and dialog navigation.
void RouteMessage(MSG& msg);

// Routes messages until the quit message; returns its code.
int RunMainLoop();

// Nested routing for long operations: runs until *flag becomes 0.
void PumpMessages(volatile int* flag);
