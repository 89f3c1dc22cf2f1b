// Sets a PC-logger deck slot to pass one logger unit's port on to a COM number, as an operator
// does on the PC-Logger page, and loads the PC setup so the deck port opens.
#pragma once

#include "session/host_session.h"

namespace cvh::test {

inline void forwardToDeck(HostSession& session, int slot, int com, int unit, int port,
                          int lineSetting = 11) {
    auto& pc = session.pcLogger();
    auto& row = pc.form.rows[slot - 1];
    row.PortTypeCB = kPcPortTypeLoggerOutput;
    row.DeckPortCB = com;
    row.DeckSetupCB = lineSetting;
    pc.sourceIdStepped(slot, unit);
    pc.sourcePortStepped(slot, port);
    pc.slotRowChanged();
    pc.loadPcSetup();
}

}  // namespace cvh::test
