// The colours the core decides for controls; the console maps them to palette colours.
#pragma once

namespace cvh {

enum class Colour { ButtonFace, Window, Yellow, Red, Silver, Green, Lime, Aqua, White };

}  // namespace cvh
