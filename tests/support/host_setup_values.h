// Host setup files for tests, written by control name rather than by record and field.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "files/host_setup_file.h"
#include "session/host_setup_flow.h"

namespace cvh::test {

inline HostSetupPlace placeOf(std::string_view control) {
    const auto place = hostSetupPlace(control);
    if (!place)
        throw std::invalid_argument("no stored control " + std::string(control));
    return *place;
}

inline void setControl(HostSetup& setup, std::string_view control, int value) {
    const HostSetupPlace p = placeOf(control);
    setup.setValue(p.record, p.field, static_cast<std::int16_t>(value));
}

inline int controlValue(const HostSetup& setup, std::string_view control) {
    const HostSetupPlace p = placeOf(control);
    return setup.value(p.record, p.field);
}

}  // namespace cvh::test
