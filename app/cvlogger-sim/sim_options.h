// Command-line options of the simulated logger: who it pretends to be, how fast it talks and
// which faults it puts on the line.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cvh::sim {

struct FaultSettings {
    double garbage = 0.0;    // chance of a burst of random bytes before a packet
    double corrupt = 0.0;    // chance of a packet leaving with a wrong checksum
    double drop = 0.0;       // chance of a packet never leaving
    double duplicate = 0.0;  // chance of a packet leaving twice
};

struct SimOptions {
    std::optional<std::string> device;  // attach to this device instead of a new pseudo-terminal
    int deviceType = 2;                 // 1, 2 or 3: the three logger models
    int serialNumber = 901;
    int loggerId = 1;
    int firmwareMajor = 7;
    int firmwareMinor = 12;
    int packetRateHz = 2;                // data packets per second while sampling
    int analogRateHz = 0;                // analog lines a second; 0: as the logger's setup says
    std::uint64_t packetLimit = 0;       // stop sending data after this many data packets; 0: never
    std::optional<std::string> sentLog;  // where to log every data packet's fate on the line
    std::uint32_t memoryKb = 32768;      // flash size
    std::uint32_t baud = 0;              // 0: unpaced; otherwise paced like a serial line
    FaultSettings faults;
    std::int64_t clockOffsetSeconds = 0;  // the logger clock starts this far from the PC's
    std::uint64_t seed = 1;
    int storedRuns = 0;             // runs already in memory at power-on, for upload demonstrations
    std::uint32_t storedRunKb = 0;  // their size; 0: a minute or two of sampling each
    bool autoStart = false;         // begin sampling at power-on ("Start Sample When Powered")
    bool verbose = false;
    // Write a host setup file that connects the host to COM1 in the "Advanced User" mode, and
    // exit: the demonstration's start directory gets it beside a comports.txt naming the line.
    std::optional<std::string> writeHostSetup;
};

struct OptionsResult {
    std::optional<SimOptions> options;  // set when the program should run
    std::string message;                // usage text or the error to print
    bool error = false;
};

OptionsResult parseSimOptions(const std::vector<std::string>& args);
std::string simUsage();

}  // namespace cvh::sim
