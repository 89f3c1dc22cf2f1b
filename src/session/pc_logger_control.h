// The PC logger controller: the PC-Logger page (eight PC port slots and the sample rate), the
// host's own logger that builds packets from its meter inputs, and the annotation window.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "session/change_marks.h"
#include "session/console_views.h"
#include "session/link_ports.h"
#include "session/pc_logger_flow.h"
#include "session/pc_logger_setup.h"
#include "session/session_key.h"

namespace cvh {

// The three boxes of a slot row; each change runs the page's one change rule.
enum class PcPortBox { Function, ComPort, LineSetting };

class PcLoggerControl {
public:
    PcLoggerControl(const Clock& clock, LinkPorts& link, Operator& notices, ChangeMarks& marks);
    ~PcLoggerControl();

    // The page's rules and the packet builder, for the host setup file and tests.
    PcLoggerSetup& setup() { return *setup_; }
    PcLoggerFlow& flow() { return *flow_; }
    const PcLoggerForm& form() const { return setup_->form; }
    const AnnotationFormState& annotation() const { return flow_->annotation.form; }

    // --- the PC-Logger page ------------------------------------------------------------
    void choosePortBox(int slot, PcPortBox box, int index);  // PortType/DeckPort/DeckSetup
    void deckTypeClick(int slot, int position);              // UDDeckType1..8
    void outPortClick(int slot, int position);               // UDOutPort1..8
    void deckRateClick(int position);                        // UDDeckRate
    void recordPcTimeClick(bool checked);                    // CBRecordPCTime
    void loadPcSetup();                                      // BTLoadDeck
    void restorePcSetup();                                   // BTRestoreDeck
    void clearSetup();                                       // BTClearDeck

    // --- the annotation window ---------------------------------------------------------
    void showAnnotation();  // menu "Annotate Archive File"
    void startWaterSample();
    void endWaterSample();
    void insertAnnotation();
    void resetSampleCount();
    void closeAnnotation();
    void nextSampleClick(int position);
    void editAnnotation(const std::string& text);

    // --- ticks ---------------------------------------------------------------------------
    // The PC logger's part of the 10 ms tick; the raw display's text, if any.
    std::string tick(const RawDisplaySettings& display, RecordMode recordMode);
    // Once a second: each slot's traffic line ("PC Port n: ..."), into `dataStatus`.
    void showPortLines(DataStatusView& dataStatus);
    // Start-up: the packet builder and the line boxes as the window first shows them.
    void resetToDefaults();

    // This second's input bytes per deck slot, for tests.
    std::array<int, kDeckSlotCount>& bytesIn(SessionKey) { return bytesIn_; }

private:
    PcLoggerForm& editForm() { return setup_->form; }
    void pageChanged() { marks_.mark(Area::PcLogger); }
    void annotationChanged() { marks_.mark(Area::Annotation); }

    LinkPorts& link_;
    ChangeMarks& marks_;
    std::unique_ptr<PcLoggerSetup> setup_;
    std::unique_ptr<PcLoggerFlow> flow_;
    // Input bytes of this second per deck slot 1..8 (index 0 unused).
    std::array<int, kDeckSlotCount> bytesIn_{};
};

}  // namespace cvh
