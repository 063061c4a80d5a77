// Every bitmap of each gauge, as its module carries them.
#pragma once

#include <vector>

#include "art/bitmap.h"

std::vector<art::Bitmap> backup_airspeed_bitmaps();
std::vector<art::Bitmap> airspeed_bitmaps();
std::vector<art::Bitmap> eicas_bitmaps();
