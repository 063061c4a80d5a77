// `panel-host dump` and `panel-host info`.
#include <cmath>
#include <iomanip>
#include <nlohmann/json.hpp>
#include <ostream>
#include <set>
#include <sstream>

#include "commands.h"
#if ZAZ_HOST_RENDER
#include "fonts.h"
#include "render_bitmap.h"
#endif
#include "session.h"
#include "text.h"

namespace panel_host {

namespace {

nlohmann::ordered_json number(double v) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v > 0 ? "inf" : "-inf";
  return v;
}

nlohmann::ordered_json element_json(std::size_t index, const ElementState& s) {
  const host::ElementHeader& e = *s.record;
  nlohmann::ordered_json j = {
      {"index", index},
      {"kind", kind_name(e.kind)},
      {"bitmap", e.kind == host::ElementKind::string ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(e.bitmap_id)},
      {"x", e.x},
      {"y", e.y},
      {"flags", e.image_flags},
      {"hidden", (e.image_flags & host::image_hidden) != 0},
      {"bright", (e.image_flags & host::image_bright) != 0},
  };
  switch (e.kind) {
    case host::ElementKind::needle:
    case host::ElementKind::icon: j["value"] = number(s.value); break;
    case host::ElementKind::slider:
    case host::ElementKind::moving_image:
      j["value_x"] = number(s.value_x);
      j["value_y"] = number(s.value_y);
      break;
    case host::ElementKind::string: j["text"] = cp1252_to_utf8(s.text != nullptr ? s.text : ""); break;
    case host::ElementKind::static_image: break;
  }
  return j;
}

std::string hex(uint32_t v) {
  std::ostringstream s;
  s << "0x" << std::hex << std::setw(4) << std::setfill('0') << v;
  return s.str();
}

std::string callbacks_of(const host::ElementHeader& e) {
  switch (e.kind) {
    case host::ElementKind::static_image: return "-";
    case host::ElementKind::needle: return reinterpret_cast<const host::NeedleElement&>(e).update ? "value" : "-";
    case host::ElementKind::string: return reinterpret_cast<const host::StringElement&>(e).update ? "text" : "-";
    case host::ElementKind::icon: return reinterpret_cast<const host::IconElement&>(e).update ? "state" : "-";
    case host::ElementKind::slider: {
      const auto& s = reinterpret_cast<const host::SliderElement&>(e);
      return std::string(s.update_x ? "x" : "-") + "," + (s.update_y ? "y" : "-");
    }
    case host::ElementKind::moving_image: {
      const auto& m = reinterpret_cast<const host::MovingImageElement&>(e);
      return std::string(m.update_x ? "x" : "-") + "," + (m.update_y ? "y" : "-");
    }
  }
  return "-";
}

std::string details_of(const host::ElementHeader& e) {
  std::ostringstream d;
  switch (e.kind) {
    case host::ElementKind::needle: {
      const auto& n = reinterpret_cast<const host::NeedleElement&>(e);
      d << "pivot (" << e.offset_x << ", " << e.offset_y << "), " << n.table_entries << "-entry table";
      break;
    }
    case host::ElementKind::string: {
      const auto& s = reinterpret_cast<const host::StringElement&>(e);
      d << "box " << s.box_width << "x" << s.box_height << ", \"" << std::string(s.font_name, strnlen(s.font_name, 32))
        << "\" " << s.font_weight << ", colour " << hex(s.text_colour);
      break;
    }
    case host::ElementKind::icon:
      d << reinterpret_cast<const host::IconElement&>(e).states << " states";
      break;
    case host::ElementKind::slider: {
      const auto& s = reinterpret_cast<const host::SliderElement&>(e);
      d << "scale " << s.scale_x << ", " << s.scale_y;
      break;
    }
    case host::ElementKind::moving_image: {
      const auto& m = reinterpret_cast<const host::MovingImageElement&>(e);
      d << "window " << hex(e.bitmap_id + 1) << ", x " << m.range_x_first << ".." << m.range_x_second << ", y "
        << m.range_y_first << ".." << m.range_y_second;
      break;
    }
    case host::ElementKind::static_image: break;
  }
  return d.str();
}

}  // namespace

int run_dump(const RunOptions& options, std::ostream& out, std::ostream& err) {
  try {
    Session session(options.module);
    for (const auto& [token, value] : options.assignments) session.variables.set(token, value);
    session.run(options.cycles);
    nlohmann::ordered_json elements = nlohmann::ordered_json::array();
    const auto& states = session.driver.elements();
    for (std::size_t i = 0; i < states.size(); ++i) elements.push_back(element_json(i, states[i]));
    const nlohmann::ordered_json doc = {
        {"gauge", session.driver.name()}, {"tooltip", session.driver.tooltip()}, {"elements", elements}};
    out << doc.dump(2) << "\n";
    return 0;
  } catch (const LoadError& e) {
    err << "panel-host: " << e.what() << "\n";
    return 2;
  }
}

int run_info(const std::string& module, std::ostream& out, std::ostream& err) {
  try {
    Session session(module);
    const auto& states = session.driver.elements();
    out << "gauge     " << session.driver.name() << "\n"
        << "tooltip   " << session.driver.tooltip() << "\n"
        << "elements  " << states.size() << "\n";
#if ZAZ_HOST_RENDER
    // The faces the text is drawn in, once per font the gauge names.
    FontBook fonts;
    std::set<std::pair<std::string, uint32_t>> named;
    for (const ElementState& s : states) {
      if (s.record->kind != host::ElementKind::string) continue;
      const auto& t = reinterpret_cast<const host::StringElement&>(*s.record);
      const std::pair font{std::string(t.font_name, strnlen(t.font_name, sizeof t.font_name)), t.font_weight};
      if (named.insert(font).second) out << "font      " << fonts.choice(font.first, font.second).describe() << "\n";
    }
#endif
    out << "\n";
    out << std::left << std::setw(6) << "index" << std::setw(14) << "kind" << std::setw(8) << "bitmap"
        << std::setw(12) << "position" << std::setw(11) << "callbacks" << "details\n";
    for (std::size_t i = 0; i < states.size(); ++i) {
      const host::ElementHeader& e = *states[i].record;
      std::ostringstream pos;
      pos << e.x << "," << e.y;
      out << std::left << std::setw(6) << i << std::setw(14) << kind_name(e.kind) << std::setw(8)
          << (e.kind == host::ElementKind::string ? std::string("-") : hex(e.bitmap_id)) << std::setw(12) << pos.str()
          << std::setw(11) << callbacks_of(e) << details_of(e) << "\n";
    }
    return 0;
#if ZAZ_HOST_RENDER
  } catch (const RenderError& e) {
    err << "panel-host: " << e.what() << "\n";
    return 2;
#endif
  } catch (const LoadError& e) {
    err << "panel-host: " << e.what() << "\n";
    return 2;
  }
}

}  // namespace panel_host
