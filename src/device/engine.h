// The play and record engine.
#pragma once

// Stops playing or recording; 0, or an error id. Without an open device it
// has nothing to do.
int Stop();

// Plays the selection (or the sound from the play position); 0 or an error id.
int Play();
