// The port tools controller: the test-port window, which asks the logger to echo one of its
// ports onto the host port, and the logger-ID window.
#pragma once

#include "session/change_marks.h"
#include "session/console_views.h"
#include "session/link_ports.h"
#include "session/setup_exchange_control.h"

namespace cvh {

class PortTools {
public:
    PortTools(LinkPorts& link, SetupExchange& setup, Operator& notices, ChangeMarks& marks,
              Watched<MainWindowView>& main);

    const TestPortView& testPort() const { return *testPort_; }
    const MuxIdView& muxId() const { return *muxId_; }

    void showTestPortWindow();
    void chooseTestPort(int index);       // CBTestPort
    void chooseTestPortSetup(int index);  // CBTestPortSetup
    void chooseHostPortSetup(int index);  // CBHostPortSetup
    void startPortTest();                 // BTTestPort
    void stopPortTest();                  // BTStopTest: the stop sequence
    // The Real Time Data page hides again in the modes that do not show it.
    void closeTestPortWindow(HostMode activeHostMode);

    void showMuxIdWindow();
    void muxIdClick(int position);
    void sendMuxId();
    void closeMuxIdWindow();
    // From each status record: the logger's ID, and the window opened when the logger asks.
    void showCurrentLoggerId(const std::string& caption, bool openWindow);

private:
    LinkPorts& link_;
    SetupExchange& setup_;
    Operator& notices_;
    Watched<MainWindowView>& main_;
    Watched<TestPortView> testPort_;
    Watched<MuxIdView> muxId_;
};

}  // namespace cvh
