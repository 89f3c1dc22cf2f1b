// The simulated logger: everything a logger does on its host port, with no I/O of its own.
// Bytes from the host go in through receive(); update() runs whatever is due on the clock;
// takeOutput() hands over the packets and texts to put on the line, in order.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/clock.h"
#include "config/logger_setup.h"
#include "host_input.h"
#include "instrument_set.h"
#include "logger_records.h"
#include "logger_state.h"
#include "port_backlog.h"
#include "run_memory.h"
#include "sampling_schedule.h"
#include "upload_sender.h"

namespace cvh::sim {

struct LoggerConfig {
    int deviceType = 2;
    int serialNumber = 901;
    int loggerId = 1;
    int firmwareMajor = 7;
    int firmwareMinor = 12;
    int packetRateHz = 2;
    std::uint64_t packetLimit = 0;  // no data packets after this many; 0: no limit
    int analogRateHz = 0;           // analog lines a second; 0: as the setup says
    std::uint32_t memoryBytes = 32u << 20;
    std::int64_t clockOffsetSeconds = 0;
    std::uint64_t seed = 1;
    bool autoStart = false;
    int storedRuns = 0;
    std::uint32_t storedRunBytes = 0;  // 0: each stored run is a minute or two of sampling
    std::uint32_t hostBaud = 9600;     // reported in the setup's host-port slot
    std::int64_t clearMemoryMs = 3000;
    UploadSender::Settings upload;
};

// What goes on the line: a packet (faults may touch it) or plain text (banner, pass-through).
struct OutChunk {
    Packet bytes;
    bool packet = true;
};

struct LoggerCounters {
    std::uint64_t statusRecords = 0;
    std::uint64_t dataPackets = 0;
    std::uint64_t keepAlives = 0;
    std::uint64_t uploadBlocks = 0;
    std::uint64_t uploadResends = 0;
    std::uint64_t directoryEntries = 0;
    std::uint64_t recordsTaken = 0;    // setup, hardware and calibration records accepted
    std::uint64_t recordsRefused = 0;  // records that came while the logger was busy
};

// The setup a freshly flashed simulator carries: a CTD, a current meter and a GPS on ports
// 1 to 3, two analog channels and one pump, in profile mode with short phases.
LoggerSetup defaultSimSetup(std::uint32_t hostBaud);

class SimLogger {
public:
    SimLogger(LoggerConfig config, const Clock& clock);

    // Power-up: the banner, the flash status, runs already in memory, and the automatic start
    // when the setup asks for it.
    void powerOn();
    void receive(Bytes bytes);
    void update();
    // The monotonic millisecond at which update() next has work.
    std::int64_t nextDueMs() const;
    std::vector<OutChunk> takeOutput();

    LoggerState state() const;
    std::int64_t loggerSeconds() const;
    const LoggerSetup& setup() const { return setup_; }
    Bytes setupRecord() const { return setupSnapshot_.bytes(); }
    const RunMemory& memory() const { return memory_; }
    const LoggerCounters& counters() const { return counters_; }
    const HostInputCounters& inputCounters() const { return input_.counters(); }
    int loggerId() const { return loggerId_; }
    int deviceType() const;
    bool portTestActive() const { return portTest_.has_value(); }
    std::int16_t currentRunNumber() const { return runNumber_; }

    // Where the logger says what it does ("Begin Sample", "setup taken"); may be empty.
    std::function<void(const std::string&)> log;

private:
    struct PortTest {
        int port = 0;
        std::unique_ptr<Instrument> instrument;
        std::unique_ptr<AnalogChannels> analog;
    };

    std::int64_t nowMs() const { return clock_.milliseconds(); }
    void say(const std::string& text);
    void send(Packet packet) { output_.push_back({std::move(packet), true}); }
    void sendText(const std::string& text);

    void handle(const HostRequest& request);
    void handleCommand(std::uint16_t code, std::uint32_t a, std::uint16_t b);
    void stopOnRequest();
    void loadDefaultHardware();
    void setLoggerId(std::uint16_t id);
    void acknowledgeBlock(std::uint32_t answer, std::uint16_t blockNumber);
    void sendSetup();
    void setClock(std::uint32_t newLoggerSeconds);
    void loadDefaultSetup();
    void resetToMonitor();
    void takeSetup(const std::vector<std::uint8_t>& record);
    void takeHardware(const std::vector<std::uint8_t>& record);
    void takeCalibration(const std::vector<std::uint8_t>& record);

    void applySetup(const LoggerSetup& setup);
    void rebuildInstruments();
    void restartInstruments(std::int64_t now);
    RunTiming timing() const;

    void beginSample();
    void sleepUntil(std::uint32_t wakeLoggerSeconds);
    void beginRecording();
    void endRun(const char* why);
    void halt();
    void startPortTest(const PortTestRequest& request);
    void sendDirectory();
    void startUpload(int runNumber);
    void finishUpload();
    void clearMemory();

    // The steps of update(), in order.
    void finishClearingIfDue(std::int64_t now);
    void drawBattery(std::int64_t now);
    void advanceSchedule(std::int64_t now);
    void relayPortTest(std::int64_t now);
    void sendDataIfDue(std::int64_t now);
    void recordBatteryIfDue(std::int64_t now);
    void serviceUpload(std::int64_t now);
    void sendStatusIfDue(std::int64_t now);

    void onPhaseChange(LoggerState from, LoggerState to, std::int64_t now);
    void collectInstrumentData(std::int64_t now);
    void sendDataPacket(bool allowData);
    void sendStatus();
    LoggerStatus buildStatus() const;
    SummaryRecord buildSummary() const;
    DirectoryEntry directoryEntryForNewRun() const;
    std::int16_t batteryMillivolts() const;
    // Bytes per slot (analog, then ports 1..8) of the run being recorded, else of the last run.
    std::array<std::uint32_t, 9> runByteCounts() const;
    // Memory left once the run being recorded is stored.
    std::size_t freeMemoryBytes() const;
    void storeDemoRuns(int count);

    LoggerConfig config_;
    const Clock& clock_;
    HostInput input_;
    std::vector<OutChunk> output_;
    LoggerCounters counters_;

    SetupSnapshot setupSnapshot_;
    LoggerSetup setup_;
    HardwareRecord hardware_;
    CalibrationRecord calibration_;
    int loggerId_;
    std::int64_t clockOffsetSeconds_;

    SamplingSchedule schedule_;
    LoggerState lastPhase_ = LoggerState::Standby;
    LoggerState idleState_ = LoggerState::Standby;
    bool recordOnWake_ = false;
    std::optional<std::int64_t> clearDoneMs_;
    std::optional<PortTest> portTest_;

    PortInstruments instruments_;
    std::unique_ptr<AnalogChannels> analog_;
    PortBacklog pending_;  // bytes waiting for the next packet
    std::array<std::uint32_t, 9> bytesThisSecond_{};
    std::array<std::int16_t, 8> ratesShown_{};
    std::uint8_t sequence_ = 0;

    RunMemory memory_;
    std::optional<RunRecorder> recorder_;
    std::int16_t runNumber_ = -1;
    std::array<std::uint32_t, 9> lastRunCounts_{};  // analog, then ports 1..8
    std::uint32_t lastRunOther_ = 0;
    std::int16_t runStartMillivolts_ = 0;
    std::int16_t runEndMillivolts_ = 0;
    std::uint32_t runStartSeconds_ = 0;
    double batteryDrawnMillivolts_ = 0;
    std::int64_t batteryAccountedMs_ = 0;

    UploadSender upload_;

    std::int64_t nextStatusMs_ = 0;
    std::int64_t nextPacketMs_ = 0;
    std::int64_t nextBatteryMs_ = 0;
    std::int64_t lastUpdateMs_ = 0;
};

}  // namespace cvh::sim
