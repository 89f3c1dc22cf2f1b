#include "logger_state.h"

namespace cvh::sim {

const char* stateName(LoggerState s) {
    switch (s) {
        case LoggerState::Off:
            return "OFF";
        case LoggerState::Delay:
            return "Delay";
        case LoggerState::PreFlush:
            return "Pre-Flush";
        case LoggerState::Warmup:
            return "Warmup";
        case LoggerState::Flush:
            return "Flush";
        case LoggerState::Sampling:
            return "Sampling";
        case LoggerState::ClearMemory:
            return "Clear Memory";
        case LoggerState::Sleeping:
            return "Sleeping";
        case LoggerState::Standby:
            return "Standby";
        case LoggerState::Upload:
            return "Upload";
        case LoggerState::EndOfRun:
            return "End of Run";
    }
    return "?";
}

}  // namespace cvh::sim
