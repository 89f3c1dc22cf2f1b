// An in-memory serial backend for unit tests: devices are named, tests push bytes the device
// "receives" and read back what the program wrote.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "link/serial_backend.h"

namespace cvh::test {

struct FakeLine {
    std::deque<std::uint8_t> incoming;  // bytes waiting to be read by the program
    std::vector<std::uint8_t> written;  // bytes the program wrote
    std::vector<std::string> modes;     // every mode string applied
    bool open = false;
    int opens = 0;
    bool failClose = false;
    bool rejectModes = false;           // configure() reports failure
    std::size_t writeLimit = SIZE_MAX;  // most bytes one write call takes
    bool gone = false;                  // unplugged: the open device reports itself lost
    std::uint64_t overrun = 0;          // what the open device reports as dropped
};

class FakeSerialBackend : public SerialBackend {
public:
    std::map<std::string, std::shared_ptr<FakeLine>> lines;  // only these names open
    std::set<std::string> busy;                              // names that refuse to open
    std::string lastError;                                   // why the last open failed

    std::shared_ptr<FakeLine> add(const std::string& name) {
        auto line = std::make_shared<FakeLine>();
        lines[name] = line;
        return line;
    }
    FakeLine& line(const std::string& name) { return *lines.at(name); }

    std::unique_ptr<SerialDevice> open(const std::string& name) override {
        auto it = lines.find(name);
        lastError = busy.count(name) ? "Device or resource busy" : "";
        if (it == lines.end() || busy.count(name) || it->second->open || it->second->gone)
            return nullptr;
        it->second->open = true;
        ++it->second->opens;
        return std::make_unique<Device>(it->second);
    }
    std::string openError() const override { return lastError; }
    bool exists(const std::string& name) const override {
        const auto it = lines.find(name);
        return it != lines.end() && !it->second->gone;
    }

private:
    class Device : public SerialDevice {
    public:
        explicit Device(std::shared_ptr<FakeLine> line) : line_(std::move(line)) {}
        ~Device() override { line_->open = false; }
        bool configure(const std::string& mode) override {
            line_->modes.push_back(mode);
            return !line_->rejectModes;
        }
        std::size_t read(std::uint8_t* buffer, std::size_t room) override {
            std::size_t n = 0;
            while (n < room && !line_->incoming.empty()) {
                buffer[n++] = line_->incoming.front();
                line_->incoming.pop_front();
            }
            return n;
        }
        std::size_t write(const std::uint8_t* bytes, std::size_t count) override {
            const std::size_t n = count < line_->writeLimit ? count : line_->writeLimit;
            line_->written.insert(line_->written.end(), bytes, bytes + n);
            return n;
        }
        bool close() override {
            line_->open = false;
            return !line_->failClose;
        }
        bool lost() override { return line_->gone; }
        std::uint64_t overrunBytes() const override { return line_->overrun; }

    private:
        std::shared_ptr<FakeLine> line_;
    };
};

}  // namespace cvh::test
