// Placeholder until the EICAS artwork lands.
#include "art/gauges.h"

std::vector<art::Bitmap> eicas_bitmaps() { return {}; }
