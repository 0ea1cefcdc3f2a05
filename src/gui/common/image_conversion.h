#pragma once
// Between the core's RGBA images and Qt's.

#include "core/icons/rgba_image.h"

#include <QImage>

namespace gb::ui {

QImage toQImage(const RgbaImage& image);
RgbaImage fromQImage(const QImage& image);

} // namespace gb::ui
