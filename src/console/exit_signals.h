// SIGINT and SIGTERM (Ctrl-C, a machine shutting down) end the program as a confirmed exit
// does: the handler only raises a flag, and the next timer tick closes the ports and quits.
#pragma once

namespace cvh {

void installExitSignalHandlers();
bool exitSignalled();

}  // namespace cvh
