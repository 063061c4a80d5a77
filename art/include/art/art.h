// The whole toolkit.
#pragma once

#include "art/bitmap.h"
#include "art/bmp.h"
#include "art/canvas.h"
#include "art/png.h"
#include "art/quantise.h"
