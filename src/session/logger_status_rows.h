// The "Logger Status" group beside the pages: one table of its rows, from the state the
// session keeps to the label that shows it, for building the group and for refreshing it.
#pragma once

#include <array>

#include "session/host_session.h"

namespace cvh {

// The "Logger Status" group's rows: control, caption beside it (the run and switch lines carry
// their own), and the label state shown in it.
struct StatusRow {
    const char* name;
    const char* caption;
    const LabelState& (*state)(const HostSession&);
};
template <LabelState LoggerStatusView::*Field>
const LabelState& fromStatus(const HostSession& s) {
    return s.loggerStatus().*Field;
}
template <LabelState MainWindowView::*Field>
const LabelState& fromWindow(const HostSession& s) {
    return s.main().*Field;
}
inline constexpr std::array<StatusRow, 13> kStatusRows{{
    {"LBOperation", "Status:", fromStatus<&LoggerStatusView::LBOperation>},
    {"LBDandT", "Logger Clock:", fromWindow<&MainWindowView::LBDandT>},
    {"LBDrift", nullptr, fromWindow<&MainWindowView::LBDrift>},
    {"LBTimeLeft", "Time Left:", fromStatus<&LoggerStatusView::LBTimeLeft>},
    {"LBRunNumber", nullptr, fromWindow<&MainWindowView::LBRunNumber>},
    {"LBRunSize", nullptr, fromStatus<&LoggerStatusView::LBRunSize>},
    {"LBRunStop", nullptr, fromWindow<&MainWindowView::LBRunStop>},
    {"LBPower", nullptr, fromWindow<&MainWindowView::LBPower>},
    {"LBCurrentV", "Battery:", fromStatus<&LoggerStatusView::LBCurrentV>},
    {"LBStartV", "Run Start:", fromStatus<&LoggerStatusView::LBStartV>},
    {"LBEndV", "Run End:", fromStatus<&LoggerStatusView::LBEndV>},
    {"LBFreeDisk", "Free Memory:", fromStatus<&LoggerStatusView::LBFreeDisk>},
    {"LBTotalDisk", "Total Memory:", fromStatus<&LoggerStatusView::LBTotalDisk>},
}};

}  // namespace cvh
