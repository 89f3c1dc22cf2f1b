// The operator's side of the setup exchange and of sleep, as the session runs it: which edit
// handler an edit of a setup control calls. The handlers themselves are HostSession methods
// (setup_flow.cpp); the console reports each operator edit after storing the new value into
// HostSession::setup.
#pragma once

namespace cvh {

// The change handlers of the Port Setup and Logger Control pages. Every one marks the setup
// not current; some do more (see setup_exchange.h).
enum class SetupEdit {
    // A port, analog, pump, output, file or unit list, a duration number typed in, or
    // "Start Sample When Powered": also raises the analog rate to the meters' floors.
    CBPort1SetupChange,
    // The spinners of the durations (but Delay) and of the analog rate: refresh the rate label.
    UDAnalogRateClick,
    // The Delay spinner.
    SamplingUDClicks,
    // A once-per-hour box.
    SOPH1Click,
    TimeSourceCBChange,
    // The low-voltage spinner: its label follows.
    UDLVCutOffClick,
    // The mode of operation: the moored layout and the polled buttons follow.
    ModeCBChange,
};

}  // namespace cvh
