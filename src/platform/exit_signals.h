// SIGINT, SIGTERM and SIGHUP (Ctrl-C, a machine shutting down, the terminal closed) end the
// program as a confirmed exit does: the handler only notes the signal, and the program's exit
// watch (the console's runs even while a box is open) stores what it must, closes the ports and
// quits.
#pragma once

namespace cvh {

void installExitSignalHandlers();
bool exitSignalled();
// The signal that asked for the exit (the first one), or 0.
int exitSignal();

}  // namespace cvh
