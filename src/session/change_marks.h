// Change tracking for the screen: each area of the window has a mark, set whenever state shown
// there is edited. State lives in Watched values whose only mutable access marks their area, so
// no change can reach the screen model without its mark; the console takes the marks and
// repaints the areas they name.
#pragma once

#include <cstdint>
#include <utility>

namespace cvh {

enum class Area : std::uint8_t {
    Window,        // title, pages, menus and the left column (MainWindowView, PStore)
    Layout,        // a panel was shown or hidden: the window is laid out again
    SetupPages,    // Port Setup and Logger Control
    LoggerStatus,  // the "Logger Status" group
    DataStatus,    // the Data Status page and the PC-Logger page's traffic lines
    RealTime,      // the Real Time Data page
    PcLogger,      // the PC-Logger page
    Annotation,    // the annotation window
    PortTools,     // test-port, logger-ID and port-statistics windows
    Sleep,         // the sleep window and its clock lines
    Warning,       // the warning window
    HostControls,  // controls only the host setup file keeps (geometry, extraction)
    Factory,       // the Hardware Configuration and Analog Calibration pages
    Recording,     // the recording page: status, file, size, buttons, replay controls
    Upload,        // the Upload page: run list, progress, captions by device type
    Count,
};

// A set of marked areas.
class ChangeSet {
public:
    constexpr ChangeSet() = default;
    static constexpr ChangeSet all() {
        return ChangeSet((1u << static_cast<unsigned>(Area::Count)) - 1);
    }
    constexpr bool has(Area a) const { return (bits_ & bit(a)) != 0; }
    constexpr bool any() const { return bits_ != 0; }
    constexpr void add(Area a) { bits_ |= bit(a); }
    constexpr void add(ChangeSet other) { bits_ |= other.bits_; }

private:
    constexpr explicit ChangeSet(unsigned bits) : bits_(bits) {}
    static constexpr unsigned bit(Area a) { return 1u << static_cast<unsigned>(a); }
    unsigned bits_ = 0;
};

// The marks of one session; everything starts marked so the first paint is whole.
class ChangeMarks {
public:
    void mark(Area a) { pending_.add(a); }
    const ChangeSet& pending() const { return pending_; }
    // The areas changed since the last call; the marks clear.
    ChangeSet take() {
        const ChangeSet taken = pending_;
        pending_ = ChangeSet();
        return taken;
    }

private:
    ChangeSet pending_ = ChangeSet::all();
};

// A value shown in one area: read freely, edited only through edit(), which marks the area.
template <class T>
class Watched {
public:
    Watched(ChangeMarks& marks, Area area) : marks_(&marks), area_(area) {}
    Watched(const Watched&) = delete;
    Watched& operator=(const Watched&) = delete;

    const T& operator*() const { return value_; }
    const T* operator->() const { return &value_; }
    T& edit() {
        marks_->mark(area_);
        return value_;
    }
    void reset(T value = T()) { edit() = std::move(value); }

private:
    ChangeMarks* marks_;
    Area area_;
    T value_{};
};

}  // namespace cvh
