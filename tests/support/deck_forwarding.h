// Sets a PC-logger deck slot to pass one logger unit's port on to a COM number, as an operator
// does on the PC-Logger page, and loads the PC setup so the deck port opens.
#pragma once

#include <cstddef>

#include "session/host_session.h"

namespace cvh::test {

// One slot row of the PC-Logger page as the operator sets it: its function, COM number, line
// setting and the logger unit and port it takes.
inline void setDeckRow(HostSession& session, int slot, int function, int com, int lineSetting,
                       int unit, int port) {
    auto& pc = session.pcLogger();
    auto& row = pc.form.rows[static_cast<std::size_t>(slot - 1)];
    row.PortTypeCB = function;
    row.DeckPortCB = com;
    row.DeckSetupCB = lineSetting;
    pc.sourceIdStepped(slot, unit);
    pc.sourcePortStepped(slot, port);
    pc.slotRowChanged();
}

inline void forwardToDeck(HostSession& session, int slot, int com, int unit, int port,
                          int lineSetting = 11) {
    setDeckRow(session, slot, kPcPortTypeLoggerOutput, com, lineSetting, unit, port);
    session.pcLogger().loadPcSetup();
}

}  // namespace cvh::test
