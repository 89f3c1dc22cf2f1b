#include "session/pc_logger_setup.h"

#include <algorithm>

#include "base/cformat.h"

namespace cvh {

const std::array<const char*, 3> kPcPortTypeItems = {"In Active", "Meter Input", "Logger Output"};

namespace {

constexpr std::array<int, 11> kDeckRates = {1, 2, 3, 4, 5, 6, 8, 10, 12, 16, 20};
constexpr int kMinSourceId = 1, kMaxSourceId = 4;
constexpr int kMinSourcePort = 1, kMaxSourcePort = 9;

}  // namespace

int snappedDeckRate(int position, std::optional<int> previousRate) {
    const int p = std::clamp(position, kDeckRates.front(), kDeckRates.back());
    if (std::find(kDeckRates.begin(), kDeckRates.end(), p) != kDeckRates.end())
        return p;
    if (!previousRate || p > *previousRate) {
        return *std::lower_bound(kDeckRates.begin(), kDeckRates.end(), p);
    }
    return *(std::upper_bound(kDeckRates.begin(), kDeckRates.end(), p) - 1);
}

PcLoggerSetup::PcLoggerSetup(DeckRouting& routing, SerialPortTable& ports, PortManager& portManager)
    : routing_(routing), ports_(ports), portManager_(portManager) {
    // The program's defaults: the first six deck ports at "9600".
    for (int slot = 1; slot <= 6; ++slot)
        row(slot).DeckSetupCB = 6;
    refreshPcRows();
}

void PcLoggerSetup::slotRowChanged() {
    form.PCLoggerPanel = true;
    refreshPcRows();
}

// The row of an operator's step on slot 1..8, with the page marked as edited; none for others.
PcPortRow* PcLoggerSetup::steppedRow(int slot) {
    if (slot < 1 || slot > kPcSlotCount)
        return nullptr;
    form.PCLoggerPanel = true;
    return &row(slot);
}

void PcLoggerSetup::sourceIdStepped(int slot, int position) {
    if (PcPortRow* r = steppedRow(slot)) {
        r->UDDeckType = std::clamp(position, kMinSourceId, kMaxSourceId);
        r->LBDeckType = cformat("Output Logger ID=%d", r->UDDeckType);
    }
}

void PcLoggerSetup::sourcePortStepped(int slot, int position) {
    if (PcPortRow* r = steppedRow(slot)) {
        r->UDOutPort = std::clamp(position, kMinSourcePort, kMaxSourcePort);
        r->PCOutPort = cformat("Port=%d", r->UDOutPort);
    }
}

void PcLoggerSetup::refreshPcRows() {
    for (int slot = 1; slot <= kPcSlotCount; ++slot) {
        PcPortRow& r = row(slot);
        switch (r.PortTypeCB) {
            case kPcPortTypeInactive:
                r.DeckPortCB = 0;
                r.DeckSetupCB = 0;
                r.DeckPortVisible = r.DeckSetupVisible = false;
                r.DeckTypeVisible = r.OutPortVisible = false;
                break;
            case kPcPortTypeMeterInput:
                r.DeckPortVisible = r.DeckSetupVisible = true;
                r.DeckTypeVisible = r.OutPortVisible = false;
                break;
            case kPcPortTypeLoggerOutput:
                r.DeckPortVisible = r.DeckSetupVisible = true;
                r.LBDeckType = cformat("Output Logger ID=%1d", r.UDDeckType);
                r.PCOutPort = cformat("Port=%1d", r.UDOutPort);
                r.DeckTypeVisible = r.OutPortVisible = true;
                break;
            default:
                break;
        }
        if (r.PortTypeCB != kPcPortTypeInactive) {
            // A slot with a function but no port or no line setting stays closed: show it red.
            r.DeckPortColour = r.DeckPortCB != 0 ? Colour::Window : Colour::Red;
            r.DeckSetupColour = r.DeckSetupCB != 0 ? Colour::Window : Colour::Red;
        }
        r.PCPortVisible = r.DeckPortVisible;
    }
    form.PCInHdr = std::any_of(form.rows.begin(), form.rows.end(),
                               [](const PcPortRow& r) { return r.PCPortVisible; });
    form.PCOutHdr = std::any_of(form.rows.begin(), form.rows.end(),
                                [](const PcPortRow& r) { return r.OutPortVisible; });
}

void PcLoggerSetup::snapDeckRate(int position) {
    const int rate = snappedDeckRate(position, previousRate_);
    form.UDDeckRate = rate;
    pcCycleMs_ = 1000 / rate;
    form.LBDeckRate = cformat("Deck Rate: %2d Hz", rate);
    form.LBDeckInterval = cformat("Deck Interval: %4ld ms", static_cast<long>(pcCycleMs_));
    previousRate_ = rate;
}

void PcLoggerSetup::loadPcSetup() {
    for (int slot = 1; slot <= kPcSlotCount; ++slot)
        ports_.closePort(slot);
    for (int slot = 1; slot <= kPcSlotCount; ++slot) {
        const PcPortRow& r = row(slot);
        portManager_.reopenPort(slot, r.DeckPortCB, r.DeckSetupCB);
        const auto n = static_cast<std::size_t>(slot);
        routing_.pcFunction[n] = r.PortTypeCB;
        routing_.pcSourceId[n] = r.UDDeckType;
        routing_.pcSourcePort[n] = r.UDOutPort;
        last_.lastFunction[n] = r.PortTypeCB;
        last_.lastSourceId[n] = r.UDDeckType;
        last_.lastSourcePort[n] = r.UDOutPort;
        last_.lastComPort[n] = r.DeckPortCB;
        last_.lastLineSetting[n] = r.DeckSetupCB;
    }
    form.PCLoggerPanel = false;
}

void PcLoggerSetup::restorePcSetup() {
    form.PCLoggerPanel = true;
    for (int slot = 1; slot <= kPcSlotCount; ++slot) {
        PcPortRow& r = row(slot);
        const auto n = static_cast<std::size_t>(slot);
        routing_.pcFunction[n] = r.PortTypeCB;
        routing_.pcSourceId[n] = r.UDDeckType;
        routing_.pcSourcePort[n] = r.UDOutPort;
        r.PortTypeCB = last_.lastFunction[n];
        // Before the first load the tables are zero; the spinners cannot show 0.
        r.UDDeckType = std::clamp(last_.lastSourceId[n], kMinSourceId, kMaxSourceId);
        r.UDOutPort = std::clamp(last_.lastSourcePort[n], kMinSourcePort, kMaxSourcePort);
        r.DeckPortCB = last_.lastComPort[n];
        r.DeckSetupCB = last_.lastLineSetting[n];
    }
    refreshPcRows();
}

void PcLoggerSetup::clearSetup() {
    for (int slot = 1; slot <= kPcSlotCount; ++slot) {
        row(slot).PortTypeCB = kPcPortTypeInactive;
        slotRowChanged();
    }
}

}  // namespace cvh
