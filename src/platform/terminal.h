// Whether standard error goes to a terminal: a progress bar is drawn there, plain lines go to a
// file or a pipe.
#pragma once

namespace cvh {

bool standardErrorIsTerminal();

}  // namespace cvh
