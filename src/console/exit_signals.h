// SIGINT, SIGTERM and SIGHUP (Ctrl-C, a machine shutting down, the terminal closed) end the
// program as a confirmed exit does: the handler only raises a flag, and the main window's exit
// watch, which runs even while a box is open, stores the host setup, closes the ports and quits.
#pragma once

namespace cvh {

void installExitSignalHandlers();
bool exitSignalled();

}  // namespace cvh
