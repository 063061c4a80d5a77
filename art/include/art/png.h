// PNG copies of resource bitmaps, for looking at them.
#pragma once

#include <filesystem>

#include "art/bitmap.h"

namespace art {

void write_png(const Bitmap& bitmap, const std::filesystem::path& path);

}  // namespace art
