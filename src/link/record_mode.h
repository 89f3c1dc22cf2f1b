// The recorder's mode, which the receive loop consults: where bytes come from and whether
// data packets or raw bytes are written to a file.
#pragma once

namespace cvh {

enum class RecordMode : int {
    Off = 0,
    RawInput = 1,
    Continuous = 2,
    Hourly = 3,
    Daily = 4,
    Replay = 5,
    ContinuousReplay = 6,
};

inline bool isReplay(RecordMode mode) {
    return mode == RecordMode::Replay || mode == RecordMode::ContinuousReplay;
}

// The modes in which accepted data packets are appended to an archive.
inline bool isArchiving(RecordMode mode) {
    return mode == RecordMode::Continuous || mode == RecordMode::Hourly ||
           mode == RecordMode::Daily;
}

}  // namespace cvh
