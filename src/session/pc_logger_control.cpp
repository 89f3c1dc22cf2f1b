#include "session/pc_logger_control.h"

#include "session/live_format.h"

namespace cvh {

PcLoggerControl::PcLoggerControl(const Clock& clock, LinkPorts& link, Operator& notices,
                                 ChangeMarks& marks)
    : link_(link),
      marks_(marks),
      setup_(std::make_unique<PcLoggerSetup>(link.deckRouting(), link.ports(), link.portManager())),
      flow_(std::make_unique<PcLoggerFlow>(clock, link.ports(), link.receiveLoop(), notices)) {}

PcLoggerControl::~PcLoggerControl() = default;

void PcLoggerControl::choosePortBox(int slot, PcPortBox box, int index) {
    auto& row = editForm().rows[static_cast<std::size_t>(slot - 1)];
    switch (box) {
        case PcPortBox::Function:
            row.PortTypeCB = index;
            break;
        case PcPortBox::ComPort:
            row.DeckPortCB = index;
            break;
        case PcPortBox::LineSetting:
            row.DeckSetupCB = index;
            break;
    }
    setup_->slotRowChanged();
    pageChanged();
}

void PcLoggerControl::deckTypeClick(int slot, int position) {
    setup_->sourceIdStepped(slot, position);
    pageChanged();
}

void PcLoggerControl::outPortClick(int slot, int position) {
    setup_->sourcePortStepped(slot, position);
    pageChanged();
}

void PcLoggerControl::deckRateClick(int position) {
    setup_->deckRateStepped(position);
    pageChanged();
}

void PcLoggerControl::recordPcTimeClick(bool checked) {
    editForm().CBRecordPCTime = checked;
    pageChanged();
}

void PcLoggerControl::loadPcSetup() {
    setup_->loadPcSetup();
    pageChanged();
}

void PcLoggerControl::restorePcSetup() {
    setup_->restorePcSetup();
    pageChanged();
}

void PcLoggerControl::clearSetup() {
    setup_->clearSetup();
    pageChanged();
}

void PcLoggerControl::showAnnotation() {
    flow_->annotation.show();
    annotationChanged();
}

void PcLoggerControl::startWaterSample() {
    flow_->annotation.startSample();
    annotationChanged();
}

void PcLoggerControl::endWaterSample() {
    flow_->annotation.endSample();
    annotationChanged();
}

void PcLoggerControl::insertAnnotation() {
    flow_->annotation.insertTypedAnnotation();
    annotationChanged();
}

void PcLoggerControl::resetSampleCount() {
    flow_->annotation.resetSampleCount();
    annotationChanged();
}

void PcLoggerControl::closeAnnotation() {
    flow_->annotation.hide();
    annotationChanged();
}

void PcLoggerControl::nextSampleClick(int position) {
    flow_->annotation.stepNextSample(position);
    annotationChanged();
}

void PcLoggerControl::editAnnotation(const std::string& text) {
    flow_->annotation.form.EDITAnnotation = text;
    annotationChanged();
}

std::string PcLoggerControl::tick(const RawDisplaySettings& display, RecordMode recordMode) {
    return flow_->tick(editForm(), setup_->pcCycleMs(), display, recordMode);
}

void PcLoggerControl::showPortLines(DataStatusView& dataStatus) {
    auto& routing = link_.deckRouting();
    const auto bytesIn = flow_->packet.takeBytesIn();
    for (int k = 1; k <= kPcSlotCount; ++k)
        bytesIn_[static_cast<std::size_t>(k)] += bytesIn[static_cast<std::size_t>(k)];
    bool anyOpen = false;
    for (int k = 1; k <= kPcSlotCount; ++k) {
        const auto i = static_cast<std::size_t>(k);
        const bool open = link_.ports().isPortOpen(k);
        anyOpen = anyOpen || open;
        // A port whose device went away stays in its row, red and marked, until it is back.
        const bool lost = link_.ports().isPortLost(k);
        const std::string text =
            formatPcPortLine(k, routing.pcFunction[i], bytesIn_[i], routing.pcBytesOut[i]) +
            (lost ? "  LOST" : "");
        PcPortRow& row = editForm().rows[i - 1];
        if (row.PortTypeCB != kPcPortTypeInactive && row.DeckPortCB != 0)
            row.DeckPortColour = lost ? Colour::Red : Colour::Window;
        dataStatus.DSPCPort[i - 1].caption = text;
        dataStatus.DSPCPort[i - 1].visible = open;
        dataStatus.PCPort[i - 1] = text;
    }
    // The group caption shows while any deck port is open (not only the last one examined).
    dataStatus.DSPCPorts.visible = anyOpen;
    bytesIn_.fill(0);
    routing.pcBytesOut.fill(0);
    pageChanged();
}

void PcLoggerControl::resetToDefaults() {
    bytesIn_.fill(0);
    link_.deckRouting().pcBytesOut.fill(0);
    // Slots 1..6 start at "9600".
    for (int k = 0; k < 6; ++k)
        editForm().rows[static_cast<std::size_t>(k)].DeckSetupCB = 6;
    flow_->reset();
    pageChanged();
}

}  // namespace cvh
