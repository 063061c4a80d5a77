// Writes the test modules' artwork into a folder: two small .bmp files
// with pixels we know, and bitmaps.rc naming them along with two
// resources that carry string names.
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

void put16(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 2; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A bottom-up BITMAPINFOHEADER file; `palette` holds BGRX quads.
std::vector<uint8_t> bmp(int width, int height, int bits, const std::vector<uint8_t>& palette,
                         const std::vector<uint8_t>& pixels) {
  const uint32_t offset = 14 + 40 + static_cast<uint32_t>(palette.size());
  std::vector<uint8_t> b{'B', 'M'};
  put32(b, offset + static_cast<uint32_t>(pixels.size()));
  put32(b, 0);
  put32(b, offset);
  put32(b, 40);
  put32(b, static_cast<uint32_t>(width));
  put32(b, static_cast<uint32_t>(height));
  put16(b, 1);
  put16(b, static_cast<uint32_t>(bits));
  put32(b, 0);
  put32(b, static_cast<uint32_t>(pixels.size()));
  put32(b, 2835);
  put32(b, 2835);
  put32(b, static_cast<uint32_t>(palette.size() / 4));
  put32(b, 0);
  b.insert(b.end(), palette.begin(), palette.end());
  b.insert(b.end(), pixels.begin(), pixels.end());
  return b;
}

bool write(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fixture_art DIR\n";
    return 2;
  }
  const std::string dir = argv[1];
  // 3 x 2, four-colour palette (so the palette is shorter than 256 entries),
  // rows padded to 4 bytes.
  const auto eight = bmp(3, 2, 8, {0, 0, 0, 0, 0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0},
                         {1, 2, 3, 0, 3, 2, 1, 0});
  // 2 x 3 true colour, rows of 6 bytes padded to 8.
  const auto true_colour = bmp(2, 3, 24, {},
                               {0, 0, 255, 0, 255, 0, 0, 0,  //
                                255, 0, 0, 255, 255, 255, 0, 0,  //
                                1, 1, 1, 0, 0, 0, 0, 0});
  std::ofstream rc(dir + "/bitmaps.rc");
  rc << "0x2300 BITMAP \"" << dir << "/fixture8.bmp\"\n"
     << "0x2301 BITMAP \"" << dir << "/fixture24.bmp\"\n"
     << "fixture_name RCDATA { \"abc\" }\n"
     << "7 CUSTOM_TYPE { \"hello\" }\n";
  rc.close();
  if (!write(dir + "/fixture8.bmp", eight) || !write(dir + "/fixture24.bmp", true_colour) || !rc) {
    std::cerr << "fixture_art: cannot write into " << dir << "\n";
    return 1;
  }
  return 0;
}
