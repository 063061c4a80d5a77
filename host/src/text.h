// Small conversions the command line and its outputs share.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace panel_host {

// Code page 1252 bytes to UTF-8.
std::string cp1252_to_utf8(const std::string& text);

// "TOKEN=VALUE": TOKEN hexadecimal (0x3D) or decimal, VALUE any double
// including nan, inf and -inf. Empty on a malformed assignment.
std::optional<std::pair<uint32_t, double>> parse_assignment(const std::string& text);
std::optional<uint32_t> parse_token(const std::string& text);
std::optional<double> parse_double(const std::string& text);

}  // namespace panel_host
