// The status codes the logger reports in its status record, and what they mean to it.
#pragma once

#include <cstdint>
#include <string>

#include "link/status_record.h"

namespace cvh::sim {

// The simulated logger's states are the codes its status record reports.
using LoggerState = OperationCode;

// Standby and End of Run are the idle states: the host may then ask for the directory, a
// single-port test or an upload, and the logger takes a new setup.
inline bool isIdle(LoggerState s) {
    return isIdleStatus(static_cast<int>(s));
}

// The name the host's status page shows for the state.
inline std::string stateName(LoggerState s) {
    return statusCodeText(static_cast<int>(s));
}

}  // namespace cvh::sim
