#pragma once
// Scaling an icon image to the size it is drawn at. Windows stretches with
// nearest neighbour; we average areas when shrinking and interpolate
// bilinearly when growing, each axis on its own, in premultiplied alpha so
// transparent pixels lend no colour to their neighbours.

#include "core/icons/rgba_image.h"

namespace gb {

RgbaImage resampleImage(const RgbaImage& source, int width, int height);

} // namespace gb
