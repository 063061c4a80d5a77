#include "art/gauges.h"
std::vector<art::Bitmap> airspeed_bitmaps() { return {}; }
