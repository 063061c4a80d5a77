#include "scenario.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <toml++/toml.h>

#include "text.h"

namespace panel_host {

namespace {

const char* type_text(toml::node_type type) {
  switch (type) {
    case toml::node_type::string: return "a string";
    case toml::node_type::integer: return "an integer";
    case toml::node_type::floating_point: return "a number";
    case toml::node_type::boolean: return "a boolean";
    case toml::node_type::date: return "a date";
    case toml::node_type::time: return "a time";
    case toml::node_type::date_time: return "a date-time";
    case toml::node_type::array: return "an array";
    case toml::node_type::table: return "a table";
    case toml::node_type::none: break;
  }
  return "nothing";
}

class Reader {
 public:
  explicit Reader(std::string name) : name_(std::move(name)) {}

  [[noreturn]] void fail(const toml::source_region& where, const std::string& problem) const {
    std::ostringstream m;
    m << name_;
    if (where.begin.line != 0) m << ":" << where.begin.line;
    m << ": " << problem;
    throw ScenarioError(m.str());
  }

  double number(const toml::key& key, const toml::node& node) const {
    if (const auto* i = node.as_integer()) return static_cast<double>(i->get());
    if (const auto* f = node.as_floating_point()) return f->get();
    fail(node.source(), "'" + std::string(key.str()) + "' must be a number (nan and inf are fine), not " +
                            type_text(node.type()));
  }

  std::string text(const toml::key& key, const toml::node& node) const {
    if (const auto* s = node.as_string()) return s->get();
    fail(node.source(), "'" + std::string(key.str()) + "' must be a string, not " + type_text(node.type()));
  }

  // "0x3D" or "61"; the same token twice under two spellings is a mistake.
  uint32_t token(const toml::key& key, std::map<uint32_t, uint32_t>& lines_seen) const {
    const auto t = parse_token(std::string(key.str()));
    if (!t)
      fail(key.source(), "unknown key '" + std::string(key.str()) +
                             "': variables are named by token, hexadecimal like 0x3D or decimal like 61");
    const auto [it, fresh] = lines_seen.emplace(*t, key.source().begin.line);
    if (!fresh) {
      std::ostringstream m;
      m << "token '" << key.str() << "' is already given on line " << it->second;
      fail(key.source(), m.str());
    }
    return *t;
  }

  Scenario read(const toml::table& root) const {
    Scenario s;
    for (const auto& [key, node] : root) {
      const std::string k(key.str());
      if (k == "title") {
        s.title = text(key, node);
      } else if (k == "description") {
        s.description = text(key, node);
      } else if (k == "variables") {
        const auto* table = node.as_table();
        if (table == nullptr) fail(node.source(), "'variables' must be a table of TOKEN = VALUE");
        std::map<uint32_t, uint32_t> seen;
        for (const auto& [vk, vn] : *table) s.variables[token(vk, seen)] = number(vk, vn);
      } else if (k == "timeline") {
        const auto* frames = node.as_array();
        if (frames == nullptr) fail(node.source(), "'timeline' must be an array of keyframes: [[timeline]] sections");
        for (const auto& frame : *frames) s.timeline.push_back(keyframe(frame, s.timeline));
      } else {
        fail(key.source(), "unknown key '" + k + "': a scenario has title, description, [variables] and [[timeline]]");
      }
    }
    return s;
  }

 private:
  Keyframe keyframe(const toml::node& node, const std::vector<Keyframe>& before) const {
    const auto* table = node.as_table();
    if (table == nullptr) fail(node.source(), "each keyframe of 'timeline' must be a table, not " +
                                                  std::string(type_text(node.type())));
    Keyframe k;
    bool has_t = false;
    std::map<uint32_t, uint32_t> seen;
    for (const auto& [key, value] : *table) {
      if (key.str() == "t") {
        k.t = number(key, value);
        has_t = true;
        if (!std::isfinite(k.t) || k.t < 0) fail(value.source(), "'t' must be a finite time in seconds, 0 or more");
        if (!before.empty() && k.t <= before.back().t) {
          std::ostringstream m;
          m << "keyframe at t = " << k.t << " does not come after the one before it (t = " << before.back().t << ")";
          fail(value.source(), m.str());
        }
      } else {
        k.values[token(key, seen)] = number(key, value);
      }
    }
    if (!has_t) fail(table->source(), "keyframe without 't', its time in seconds");
    return k;
  }

  std::string name_;
};

}  // namespace

std::map<uint32_t, double> Scenario::values_at(double t) const {
  std::map<uint32_t, double> out = variables;
  // For each token: the keyframes that give it, in time order.
  std::map<uint32_t, std::vector<std::pair<double, double>>> tracks;
  for (const Keyframe& k : timeline)
    for (const auto& [token, v] : k.values) tracks[token].emplace_back(k.t, v);
  for (const auto& [token, track] : tracks) {
    if (t < track.front().first) {
      if (!out.contains(token)) out[token] = track.front().second;
      continue;
    }
    double v = track.back().second;
    for (std::size_t i = 0; i + 1 < track.size(); ++i) {
      const auto [t0, v0] = track[i];
      const auto [t1, v1] = track[i + 1];
      if (t < t0 || t >= t1) continue;
      if (std::isfinite(v0) && std::isfinite(v1))
        v = v0 + (v1 - v0) * ((t - t0) / (t1 - t0));
      else
        v = v0;
      break;
    }
    out[token] = v;
  }
  return out;
}

Scenario parse_scenario(const std::string& text, const std::string& name) {
  toml::table root;
  try {
    root = toml::parse(text, name);
  } catch (const toml::parse_error& e) {
    std::ostringstream m;
    m << name << ":" << e.source().begin.line << ": " << e.description();
    throw ScenarioError(m.str());
  }
  return Reader(name).read(root);
}

Scenario load_scenario(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    throw ScenarioError(path + ": " + (std::filesystem::exists(path, ec) ? "not a file" : "no such scenario file"));
  std::ifstream in(path, std::ios::binary);
  if (!in) throw ScenarioError(path + ": cannot open the scenario file");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw ScenarioError(path + ": cannot read the scenario file");
  return parse_scenario(text.str(), path);
}

}  // namespace panel_host
