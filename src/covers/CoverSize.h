#pragma once

namespace tessaly {
class Workspace;
}

namespace tessaly::covers {

// The size of a cover taken from a video, in pixels.
struct CoverSize
{
    int width = 185;
    int height = 250;

    friend bool operator==(const CoverSize &, const CoverSize &) = default;
};

// `Coverwidth` × `Coverheight` of the style file, read as whole numbers the
// way the style load reads them. The built-in 185 × 250 when there is no
// style file, or when either value is no number or lies outside 16–2000: a
// frame is never scaled to a size the index page cannot sensibly show.
CoverSize coverSize(const Workspace &workspace);

} // namespace tessaly::covers
