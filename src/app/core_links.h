// Connects the layers of the core at start-up: each upper layer installs
// what a lower one reaches through an interface (the action lifecycle for
// the readers, the engine and the selection operations for the actions, the
// command table for undo and redo). Start-up calls it before anything is
// read; tests and tools call it after resetting the core.
#pragma once

void InstallCoreLinks();
