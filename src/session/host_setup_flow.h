// The host setup file and the session: which control each stored value comes from, the order
// in which a loaded file is applied, "last.cvh" at start-up and exit, and the File menu items.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/host_setup_file.h"

namespace cvh {

class HostSession;

// Where the value of a control sits in the file.
struct HostSetupPlace {
    int record = 0;
    int field = 0;
};
// `control` is the control's objectName (for example "DandTCB", "DeckPort3CB"), with
// ".Visible" or ".Checked" where the file keeps that of a control or menu item; nothing for a
// name the file does not carry.
std::optional<HostSetupPlace> hostSetupPlace(std::string_view control);
// Every name hostSetupPlace knows, in file order (a run of numbered controls one by one).
std::vector<std::string> hostSetupControls();

// The values of every control the file carries, as the session shows them now.
HostSetup captureHostSetup(const HostSession& session);

// Applies a checked file in record order, each step finished before the next starts. With
// `openedFromMenu` a logger port the operator already chose is kept. A value that no control
// could show (an item beyond a list, a spinner position out of range) is brought into range
// as the control itself would, so no later rule indexes a table with it.
void applyHostSetup(HostSession& session, const HostSetup& setup, bool openedFromMenu);

// loadHostSetup: false when there is no such file or a record is bad (one notice, nothing
// applied); true when the file was applied, and also when it exists but cannot be read
// (then nothing changes).
bool loadHostSetupInto(HostSession& session, const std::filesystem::path& path,
                       bool openedFromMenu);
// storeHostSetup of what the session shows; the path and reason when nothing was stored.
std::optional<FileError> storeHostSetupFrom(const HostSession& session,
                                            const std::filesystem::path& path);

}  // namespace cvh
