// The colours the core decides for controls; the console maps them to palette colours.
#pragma once

#if defined(CVH_CORE_FACTS_ONLY)
#error "presentation header: link, config and files report facts, the session presents them"
#endif

namespace cvh {

enum class Colour { ButtonFace, Window, Yellow, Red, Silver, Green, Lime, Aqua, White };

}  // namespace cvh
