// File dialogs as operators know them: a filter of "description|pattern" pairs and a default
// extension written "*.ext", turned into the request the operator's dialogs take.
#pragma once

#include <string>
#include <string_view>

#include "base/operator.h"

namespace cvh {

// Each pair's description (which names its pattern in brackets) becomes one filter entry,
// entries separated by ";;"; the extension loses its "*.". Handing the pattern form on unchanged
// would filter out every file and save names ending in ".*.ext".
FileDialogRequest fileDialogRequest(std::string title, std::string_view filter,
                                    std::string_view defaultExtension);

}  // namespace cvh
