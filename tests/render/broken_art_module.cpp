// The standby dial's gauge with resources gone wrong, as a module file
// might carry them: a bitmap that cannot be drawn. BROKEN_ROOT breaks the
// bezel, which gives the gauge its size; otherwise the bezel is a small
// good bitmap and the dial face is the broken one.
#include <cstdint>
#include <vector>

#include "zaz/host_format.h"

namespace {

void put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}

// One .res entry: numeric type and name, US English.
void entry(std::vector<uint8_t>& res, uint16_t type, uint16_t id, const std::vector<uint8_t>& data) {
  put32(res, static_cast<uint32_t>(data.size()));
  put32(res, 32);
  put16(res, 0xFFFF);
  put16(res, type);
  put16(res, 0xFFFF);
  put16(res, id);
  put32(res, 0);       // data version
  put16(res, 0x1030);  // memory flags
  put16(res, 1033);
  put32(res, 0);
  put32(res, 0);
  res.insert(res.end(), data.begin(), data.end());
  while (res.size() % 4) res.push_back(0);
}

// An 8-bit bitmap header for w x h with a two-colour palette.
std::vector<uint8_t> bitmap_header(int32_t w, int32_t h) {
  std::vector<uint8_t> b;
  put32(b, 40);
  put32(b, static_cast<uint32_t>(w));
  put32(b, static_cast<uint32_t>(h));
  put16(b, 1);
  put16(b, 8);
  for (int i = 0; i < 4; ++i) put32(b, 0);
  put32(b, 2);  // colours used
  put32(b, 0);
  put32(b, 0x000000);
  put32(b, 0x808080);
  return b;
}

std::vector<uint8_t> make_res() {
  std::vector<uint8_t> res;
  entry(res, 0, 0, {});
  std::vector<uint8_t> bezel = bitmap_header(4, 4);
#ifdef BROKEN_ROOT
  bezel.resize(bezel.size() + 7, 1);  // four rows of four bytes claimed, seven carried
#else
  bezel.resize(bezel.size() + 16, 1);
#endif
  entry(res, 2, 0x2300, bezel);
  std::vector<uint8_t> face = bitmap_header(342, 342);
  face[0] = 99;  // no such header size
  entry(res, 2, 0x1800, face);
  return res;
}

const std::vector<uint8_t> res = make_res();

}  // namespace

extern "C" {
extern const host::ResourceTable Resources;
const host::ResourceTable Resources{res.data(), res.data() + res.size()};
}
