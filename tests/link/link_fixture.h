// A port table on the in-memory backend: slot 0 is the logger port, slots 1..8 deck ports.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "link/serial_port_table.h"
#include "support/fake_serial.h"
#include "support/scripted_operator.h"

namespace cvh::test {

class LinkFixture : public ::testing::Test {
protected:
    LinkFixture() {
        for (int slot = 0; slot <= 8; ++slot) {
            const std::string name = "fake" + std::to_string(slot);
            backend.add(name);
            table.names().set(slot + 1, name);
        }
    }

    void openSlot(int slot) { table.openPort(slot, slot + 1); }
    FakeLine& line(int slot) { return backend.line("fake" + std::to_string(slot)); }
    std::string written(int slot) {
        const auto& w = line(slot).written;
        return std::string(w.begin(), w.end());
    }
    void arrive(const std::vector<std::uint8_t>& bytes) {
        line(0).incoming.insert(line(0).incoming.end(), bytes.begin(), bytes.end());
    }

    FakeSerialBackend backend;
    ScriptedOperator op;
    SerialPortTable table{backend, op};
};

}  // namespace cvh::test
