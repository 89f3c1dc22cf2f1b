#include "session/port_tools.h"

#include <algorithm>

#include "base/cformat.h"
#include "link/line_choices.h"

namespace cvh {

PortTools::PortTools(LinkPorts& link, SetupExchange& setup, Operator& notices, ChangeMarks& marks,
                     Watched<MainWindowView>& main)
    : link_(link),
      setup_(setup),
      notices_(notices),
      main_(main),
      testPort_(marks, Area::PortTools),
      muxId_(marks, Area::PortTools) {}

void PortTools::showTestPortWindow() {
    testPort_.edit().visible = true;
}

void PortTools::chooseTestPort(int index) {
    testPort_.edit().CBTestPort = index;
}

void PortTools::chooseTestPortSetup(int index) {
    testPort_.edit().CBTestPortSetup = index;
}

void PortTools::chooseHostPortSetup(int index) {
    testPort_.edit().CBHostPortSetup = index;
}

void PortTools::startPortTest() {
    auto& testPort = testPort_.edit();
    if (testPort.CBTestPort < 0)
        testPort.CBTestPort = 0;
    const int port = testPort.CBTestPort + 1;
    const auto test = lineChoiceParameters(testPort.CBTestPortSetup);
    if (!test || test->baud == 0) {
        notices_.notice("Test Port Error", "Please a Test Port Setup", true);
        return;
    }
    const auto host = lineChoiceParameters(testPort.CBHostPortSetup);
    if (!host || host->baud == 0) {
        notices_.notice("Test Port Error", "Please a Host Port Setup", true);
        return;
    }
    const auto frame = buildPortTestFrame(port, testPort.CBTestPortSetup, testPort.CBHostPortSetup);
    if (!frame)
        return;
    auto& main = main_.edit();
    main.pageVisible[static_cast<std::size_t>(pageIndex(Page::RealTime))] = true;
    main.activePage = pageIndex(Page::RealTime);
    const RealTimeView& rt = link_.realTime();
    link_.rawPortChange(1, rt.RawPortCB, rt.RawMuxIDUD);
    link_.commands().sendRecord(Bytes(frame->data(), frame->size()));
}

void PortTools::stopPortTest() {
    setup_.stopClick();
}

void PortTools::closeTestPortWindow(HostMode activeHostMode) {
    testPort_.edit().visible = false;
    if (activeHostMode == HostMode::Moored || activeHostMode == HostMode::Profile)
        main_.edit().pageVisible[static_cast<std::size_t>(pageIndex(Page::RealTime))] = false;
}

void PortTools::showMuxIdWindow() {
    muxId_.edit().visible = true;
}

void PortTools::muxIdClick(int position) {
    auto& muxId = muxId_.edit();
    muxId.UDMuxID = std::clamp(position, 2, 4);
    muxId.LBNewMuxID = cformat("%3d", muxId.UDMuxID);
}

void PortTools::closeMuxIdWindow() {
    muxId_.edit().visible = false;
}

void PortTools::sendMuxId() {
    link_.commands().sendCommand(CommandCode::SetLoggerId, 0,
                                 static_cast<std::uint16_t>(muxId_->UDMuxID));
}

void PortTools::showCurrentLoggerId(const std::string& caption, bool openWindow) {
    auto& muxId = muxId_.edit();
    muxId.LBCurrentMuxID = caption;
    if (openWindow)
        muxId.visible = true;
}

}  // namespace cvh
