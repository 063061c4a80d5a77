// zaz-art [--png] GAUGE_DIR OUT_DIR
// Draws every bitmap of one gauge into OUT_DIR as 0xNNNN.bmp and lists them
// in OUT_DIR/bitmaps.rc for the resource compiler. --png adds PNG copies to
// look at.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "art/bmp.h"
#include "art/gauges.h"
#include "art/png.h"

namespace {

int usage(const char* why) {
  std::fprintf(stderr,
               "zaz-art: %s\n"
               "usage: zaz-art [--png] GAUGE_DIR OUT_DIR\n"
               "  GAUGE_DIR is one of backup_airspeed, airspeed, eicas\n",
               why);
  return 2;
}

std::string id_name(std::uint32_t id) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%04x", static_cast<unsigned>(id));
  return buf;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  bool png = false;
  if (!args.empty() && args.front() == "--png") {
    png = true;
    args.erase(args.begin());
  }
  if (args.size() != 2) return usage("expected a gauge folder and an output folder");

  const std::map<std::string, std::function<std::vector<art::Bitmap>()>> gauges{
      {"backup_airspeed", backup_airspeed_bitmaps},
      {"airspeed", airspeed_bitmaps},
      {"eicas", eicas_bitmaps},
  };
  const auto gauge = gauges.find(args[0]);
  if (gauge == gauges.end()) return usage(("unknown gauge folder '" + args[0] + "'").c_str());
  if (args[1].empty()) return usage("empty output folder");

  try {
    const std::filesystem::path out = args[1];
    std::filesystem::create_directories(out);
    const std::vector<art::Bitmap> bitmaps = gauge->second();
    std::set<std::uint32_t> seen;
    std::string rc;
    for (const art::Bitmap& b : bitmaps) {
      if (b.id > 0xFFFF || !seen.insert(b.id).second) {
        std::fprintf(stderr, "zaz-art: %s: bad or repeated bitmap id %s\n", args[0].c_str(), id_name(b.id).c_str());
        return 1;
      }
      const std::string name = id_name(b.id);
      art::write_bmp(b, out / (name + ".bmp"));
      if (png) art::write_png(b, out / (name + ".png"));
      rc += name + " BITMAP \"" + name + ".bmp\"\n";
    }
    // Written last and only whole, so a failed run leaves no stale list behind.
    const auto rc_path = out / "bitmaps.rc";
    const auto tmp = out / "bitmaps.rc.tmp";
    {
      std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
      f << rc;
      if (!f) throw std::runtime_error("cannot write " + tmp.string());
    }
    std::filesystem::rename(tmp, rc_path);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "zaz-art: %s\n", e.what());
    return 1;
  }
  return 0;
}
