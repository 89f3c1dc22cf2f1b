#include "link/run_directory.h"

#include <algorithm>

#include "base/cformat.h"
#include "base/clock.h"
#include "link/logger_mode.h"

namespace cvh {

namespace {

// The mode the run was recorded in.
std::string runKindText(LoggerMode kind) {
    switch (kind) {
        case LoggerMode::Profile:
            return " PROF  ";
        case LoggerMode::Moored:
            return " MOOR  ";
        case LoggerMode::Analog:
            return " ANLG  ";
        case LoggerMode::PolledMoored:
            return " POLL  ";
        case LoggerMode::NotRecorded:
            return " NONE  ";
        default:
            break;
    }
    if (kind >= LoggerMode::RunLoggerPort1 && kind <= LoggerMode::RunLoggerPort8)
        return cformat(" Port%d ",
                       loggerModeNumber(kind) - loggerModeNumber(LoggerMode::RunLoggerPort1) + 1);
    return " ERR   ";
}

constexpr int kPortTypeOff = 0;
constexpr int kPortTypeUnset = -1;
constexpr int kPortTypePump = 7;
constexpr int kAnalogOn = 1;
constexpr int kAnalogPumpOn = 2;

}  // namespace

std::string formatDirectoryLine(const DirectoryEntry& e) {
    std::string line = cformat(" %03d    ", e.runNumber);
    line += runKindText(loggerModeOf(e.runKind));

    // The logger stamps its local wall-clock seconds: shown as they are, no zone applied.
    const CalendarTime t = civilFromSeconds(e.startTime);
    line += cformat("   %02d/%02d/%02d  %02d:%02d:%02d", t.month, t.day, t.year % 100, t.hour,
                    t.minute, t.second);
    line += cformat(" %6.1f %6.1f ", e.firstValueThousandths / 1000.0,
                    e.secondValueThousandths / 1000.0);

    const long long size = e.runSizeBytes;
    line += size < 1024 ? cformat("%12lld  ", size) : cformat("%12lld K", size / 1024);

    line += "  Serial:";
    for (int p = 1; p <= 8; ++p) {
        const int type = e.portTypes[static_cast<std::size_t>(p - 1)];
        if (type != kPortTypeUnset && type != kPortTypeOff && type != kPortTypePump)
            line += cformat(" %1d", p);
    }
    line += "  Analog:";
    for (int c = 1; c <= 7; ++c) {
        if (e.analogStates[static_cast<std::size_t>(c - 1)] == kAnalogOn)
            line += cformat(" %1d", c);
    }
    line += "  Pumps:";
    for (int p = 1; p <= 4; ++p) {
        if (e.pumpStates[static_cast<std::size_t>(p - 1)] == 1)
            line += cformat(" %1d", p);
    }
    for (int p = 1; p <= 8; ++p) {
        if (e.portTypes[static_cast<std::size_t>(p - 1)] == kPortTypePump)
            line += cformat(" S%1d", p);
    }
    for (int c = 1; c <= 7; ++c) {
        if (e.analogStates[static_cast<std::size_t>(c - 1)] == kAnalogPumpOn)
            line += cformat(" A%1d", c);
    }
    return line;
}

std::size_t RunDirectory::checked(int index) {
    return static_cast<std::size_t>(std::clamp(index, 0, kRunDirectoryCapacity - 1));
}

void RunDirectory::clear() {
    entries_.fill(RunDirectoryEntry{});
    entryCount_ = 0;
    lines_.clear();
    warningsThisRequest_ = 0;
}

void RunDirectory::add(const DirectoryEntry& e, Operator& op) {
    // The logger numbers runs 0..511; anything else (a negative number too) cannot be held.
    if (!e.runNumberAccepted()) {
        op.notice("File System Overload", "More than 512 files found recorded", true);
        return;
    }
    if (entryCount_ >= kRunDirectoryCapacity)
        return;
    const int index = entryCount_++;
    RunDirectoryEntry& stored = entries_[static_cast<std::size_t>(index)];
    stored.runNumber = e.runNumber;
    stored.runSize = e.runSizeBytes;
    stored.selected = false;
    lines_.push_back({index, formatDirectoryLine(e)});

    // Fewer lines than entries: the list was emptied while the directory was still arriving.
    if (static_cast<int>(lines_.size()) != entryCount_ && warningsThisRequest_ == 0) {
        op.notice("**** Warning - Run Directory Error ****",
                  "The Logger Directory maybe missing files, Press 'Get Logger Directory' to "
                  "Reload",
                  true);
        ++warningsThisRequest_;
    }
}

}  // namespace cvh
