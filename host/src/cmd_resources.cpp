#include "cmd_resources.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <set>
#include <vector>

#include "resources.h"

namespace panel_host {

namespace {

std::string format(const char* pattern, unsigned long long value) {
  char text[32];
  std::snprintf(text, sizeof text, pattern, value);
  return text;
}

// Names and strings come from the file: keep control bytes from reaching
// the terminal.
std::string shown(const std::string& text) {
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F)
      out += format("\\x%02llx", c);
    else
      out += static_cast<char>(c);
  }
  return out;
}

std::string type_text(const Resource& r) {
  if (!r.type_name.empty()) return "\"" + shown(r.type_name) + "\"";
  static const char* const names[] = {
      nullptr,        "CURSOR",       "BITMAP", "ICON",     "MENU",      "DIALOG",     "STRING",
      "FONTDIR",      "FONT",         "ACCELERATOR", "RCDATA", "MESSAGETABLE", "GROUP_CURSOR", nullptr,
      "GROUP_ICON",   nullptr,        "VERSION", "DLGINCLUDE", nullptr,  "PLUGPLAY",   "VXD",
      "ANICURSOR",    "ANIICON",      "HTML",   "MANIFEST"};
  if (r.type < std::size(names) && names[r.type]) return names[r.type];
  return std::to_string(r.type);
}

std::string id_text(const Resource& r) {
  if (!r.name.empty()) return "\"" + shown(r.name) + "\"";
  return format("0x%04llx", r.id);
}

std::string picture_text(const BitmapInfo& b) {
  return std::to_string(b.width) + " x " + std::to_string(b.height) + ", " + std::to_string(b.bits) +
         " bits per pixel";
}

std::string version_text(uint32_t ms, uint32_t ls) {
  return std::to_string(ms >> 16) + "." + std::to_string(ms & 0xFFFF) + "." + std::to_string(ls >> 16) +
         "." + std::to_string(ls & 0xFFFF);
}

void print_table(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
  std::vector<size_t> widths;
  for (const auto& row : rows)
    for (size_t i = 0; i < row.size(); ++i) {
      if (widths.size() <= i) widths.push_back(0);
      widths[i] = std::max(widths[i], row[i].size());
    }
  for (const auto& row : rows) {
    std::string line = " ";
    for (size_t i = 0; i < row.size(); ++i) {
      line += " " + row[i];
      if (i + 1 < row.size()) line += std::string(widths[i] - row[i].size() + 1, ' ');
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << "\n";
  }
}

void print_version(std::ostream& out, const VersionInfo& v) {
  std::vector<std::vector<std::string>> rows;
  for (const auto& [key, value] : v.strings) rows.push_back({shown(key), shown(value)});
  if (!v.string_table.empty()) rows.push_back({"string table", shown(v.string_table)});
  if (v.has_fixed_part) {
    rows.push_back({"file version", version_text(v.file_version_ms, v.file_version_ls)});
    rows.push_back({"product version", version_text(v.product_version_ms, v.product_version_ls)});
    rows.push_back({"flags mask", format("0x%llx", v.flags_mask)});
    rows.push_back({"flags", format("0x%llx", v.flags)});
    rows.push_back({"os", format("0x%llx", v.os)});
    rows.push_back({"file type", std::to_string(v.file_type)});
    rows.push_back({"file subtype", std::to_string(v.file_subtype)});
  } else {
    rows.push_back({"fixed part", "none"});
  }
  for (const auto& [language, code_page] : v.translations)
    rows.push_back({"translation", format("0x%04llx", language) + " " + format("0x%04llx", code_page)});
  print_table(out, rows);
}

// A file name for a bitmap that no other bitmap of this module takes: its
// id, or for a named one its name kept to safe characters.
std::string bitmap_file_name(const Resource& r, std::set<std::string>& taken) {
  std::string stem;
  if (r.name.empty()) {
    stem = format("0x%04llx", r.id);
  } else {
    for (const char c : r.name.substr(0, 64))
      stem += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' ? c : '_';
  }
  std::string name = stem + ".bmp";
  if (taken.count(name)) name = stem + "-" + std::to_string(r.language) + ".bmp";
  for (int n = 2; taken.count(name); ++n) name = stem + "-" + std::to_string(r.language) + "-" + std::to_string(n) + ".bmp";
  taken.insert(name);
  return name;
}

bool write_file(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  file.close();
  return static_cast<bool>(file);
}

}  // namespace

int run_resources(const std::string& module_path, const std::optional<std::string>& extract_dir,
                  std::ostream& out, std::ostream& err) {
  const std::string prefix = "panel-host: ";
  ResourceSet set;
  try {
    set = resources_of_module_file(module_path);
  } catch (const std::exception& e) {
    err << prefix << e.what() << "\n";
    return 2;
  }

  int status = 0;
  auto complain = [&](const std::string& what) {
    err << prefix << module_path << ": " << what << "\n";
    status = 2;
  };

  if (set.items.empty()) {
    out << module_path << ": no resources\n";
  } else {
    out << module_path << ": " << set.items.size() << (set.items.size() == 1 ? " resource\n" : " resources\n");
    std::vector<std::vector<std::string>> rows{{"type", "id", "language", "bytes", "picture"}};
    for (const Resource& r : set.items) {
      std::string picture;
      if (r.type == rt_bitmap && r.type_name.empty()) {
        if (const auto info = bitmap_info(r.data))
          picture = picture_text(*info);
        else {
          picture = "damaged bitmap";
          complain("bitmap " + id_text(r) + " is damaged: its header is unreadable or its pixels don't fit");
        }
      }
      rows.push_back({type_text(r), id_text(r), std::to_string(r.language), std::to_string(r.data.size()), picture});
    }
    print_table(out, rows);
  }

  bool any_version = false;
  for (const Resource& r : set.items) {
    if (r.type != rt_version || !r.type_name.empty()) continue;
    any_version = true;
    out << "\nversion record " << id_text(r) << ", language " << r.language << ":\n";
    try {
      print_version(out, parse_version(r.data));
    } catch (const FormatError& e) {
      out << "  damaged\n";
      complain(e.what());
    }
  }
  if (!any_version) out << "\nno version record\n";

  if (extract_dir) {
    const std::filesystem::path dir(*extract_dir);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec || !std::filesystem::is_directory(dir)) {
      err << prefix << "cannot make the directory " << *extract_dir << (ec ? ": " + ec.message() : "") << "\n";
      return 2;
    }
    std::set<std::string> taken;
    bool any_bitmap = false;
    out << "\n";
    for (const Resource& r : set.items) {
      if (r.type != rt_bitmap || !r.type_name.empty() || !bitmap_info(r.data)) continue;
      any_bitmap = true;
      const std::filesystem::path file = dir / bitmap_file_name(r, taken);
      if (write_file(file, bmp_file_bytes(r.data))) {
        out << "wrote " << file.string() << "\n";
      } else {
        err << prefix << "cannot write " << file.string() << "\n";
        status = 2;
      }
    }
    if (!any_bitmap) out << "no bitmaps to write to " << *extract_dir << "\n";
  }
  return status;
}

}  // namespace panel_host
