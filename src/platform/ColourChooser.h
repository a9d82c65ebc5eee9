#pragma once

#include <optional>

namespace tessaly {

// The colour dialog: blocks on the user, returns the chosen colour as
// 0xRRGGBB, or nothing when cancelled.
class ColourChooser
{
public:
    virtual ~ColourChooser() = default;
    virtual std::optional<unsigned> chooseColour(unsigned initialRgb) = 0;
};

} // namespace tessaly
