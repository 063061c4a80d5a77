// A PE32/PE32+ file as the Windows loader sees it: headers, sections, the
// export and import tables and the base relocations. Reads untrusted bytes;
// anything malformed is a FormatError.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "resources.h"

namespace panel_host {

struct PeSection {
  std::string name;
  uint32_t rva = 0, virtual_size = 0, file_offset = 0, file_size = 0;
};

struct PeExport {
  std::string name;  // empty for an export by ordinal only
  uint32_t ordinal = 0;
  uint32_t rva = 0;
};

struct PeImport {
  std::string library;
  std::vector<std::string> functions;  // "#N" for an import by ordinal
};

class PeImage {
 public:
  explicit PeImage(std::vector<uint8_t> file);

  uint16_t machine() const { return machine_; }
  uint16_t characteristics() const { return characteristics_; }
  bool is_dll() const { return (characteristics_ & 0x2000) != 0; }
  bool pe32_plus() const { return pe32_plus_; }
  uint64_t image_base() const { return image_base_; }
  const std::vector<PeSection>& sections() const { return sections_; }

  // The export directory's own name (the DLL name it was linked as).
  std::string export_name() const;
  std::vector<PeExport> exports() const;
  std::vector<PeImport> imports() const;
  // The RVAs the loader fixes up when it moves the image.
  std::set<uint32_t> relocated_rvas() const;

  // Bytes of the image at an RVA, as loaded (zero past a section's file data).
  std::vector<uint8_t> read(uint32_t rva, uint32_t length) const;
  uint32_t read32(uint32_t rva) const;
  std::string read_string(uint32_t rva, uint32_t limit = 4096) const;
  // An address stored in the image (a virtual address) as an RVA.
  std::optional<uint32_t> rva_of_address(uint64_t address) const;

 private:
  struct Directory {
    uint32_t rva = 0, size = 0;
  };
  std::optional<uint64_t> offset_of(uint32_t rva) const;
  const PeSection* section_of(uint32_t rva) const;

  std::vector<uint8_t> file_;
  uint16_t machine_ = 0, characteristics_ = 0;
  bool pe32_plus_ = false;
  uint64_t image_base_ = 0;
  uint32_t image_size_ = 0;
  std::vector<PeSection> sections_;
  std::vector<Directory> directories_;
};

}  // namespace panel_host
