#include "gauge_driver.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>

namespace panel_host {

namespace {

// The store the refresh entry reads: that of the gauge serviced last, so a
// service call made around the driver reads the same variables.
VariableStore* active_store = nullptr;

void ZAZ_HOSTAPI refresh_variable(host::ModuleVar* var) {
  if (var == nullptr) return;
  var->previous = var->value;
  var->value = active_store != nullptr ? active_store->get(var->token) : 0.0;
}

template <int N>
void ZAZ_HOSTAPI unsupported_entry() {
  std::fprintf(stderr, "panel-host: the gauge called host function table entry %d (byte offset %d), which this host "
                       "does not provide\n", N, N * 4);
  std::exit(3);
}

template <int... N>
host::HostFunctionTable make_table(std::integer_sequence<int, N...>) {
  host::HostFunctionTable t{{&unsupported_entry<N>...}};
  t.entries[host::refresh_variable_entry] = reinterpret_cast<host::AnyHostFunction>(&refresh_variable);
  return t;
}

host::HostFunctionTable table = make_table(std::make_integer_sequence<int, host::host_function_count>{});

bool valid_kind(uint32_t kind) { return kind <= static_cast<uint32_t>(host::ElementKind::moving_image); }

// Only a few thousand elements make sense; more means a broken chain.
constexpr std::size_t chain_limit = 100000;

}  // namespace

host::HostFunctionTable* host_function_table() { return &table; }

const char* kind_name(host::ElementKind kind) {
  switch (kind) {
    case host::ElementKind::static_image: return "static_image";
    case host::ElementKind::needle: return "needle";
    case host::ElementKind::string: return "string";
    case host::ElementKind::slider: return "slider";
    case host::ElementKind::icon: return "icon";
    case host::ElementKind::moving_image: return "moving_image";
  }
  return "unknown";
}

GaugeDriver::GaugeDriver(host::LinkageRecord* linkage, host::ImportTableRecord* import_table,
                         VariableStore& variables)
    : linkage_(linkage), import_table_(import_table), header_(nullptr), variables_(variables) {
  if (linkage_ == nullptr) throw LoadError("the module has no Linkage record");
  if (import_table_ == nullptr) throw LoadError("the module has no ImportTable record");
  if (linkage_->gauges[0] == nullptr) throw LoadError("the module lists no gauge");
  if (linkage_->gauges[1] != nullptr) throw LoadError("the module lists more than one gauge");
  header_ = linkage_->gauges[0];
  if (header_->element_list == nullptr || header_->element_list[0] == nullptr)
    throw LoadError("the gauge has no element list");
  if (header_->service_callback == nullptr) throw LoadError("the gauge has no service callback");

  std::set<const host::ElementHeader*> seen;
  for (host::ElementHeader* e = header_->element_list[0]; e != nullptr;
       e = e->next_list != nullptr ? e->next_list[0] : nullptr) {
    if (!seen.insert(e).second)
      throw LoadError("the element chain loops back to element " + std::to_string(elements_.size()) + "'s successor");
    if (seen.size() > chain_limit) throw LoadError("the element chain does not end");
    if (!valid_kind(static_cast<uint32_t>(e->kind)))
      throw LoadError("element " + std::to_string(elements_.size()) + " has unknown kind " +
                      std::to_string(static_cast<uint32_t>(e->kind)));
    elements_.push_back({.record = e});
  }

  buffers_.resize(elements_.size());
  for (std::size_t i = 0; i < elements_.size(); ++i) {
    if (elements_[i].record->kind != host::ElementKind::string) continue;
    buffers_[i].fill('\0');
    auto* s = reinterpret_cast<host::StringElement*>(elements_[i].record);
    s->text = buffers_[i].data();
    elements_[i].text = s->text;
  }
  import_table_->panels = &table;
  active_store = &variables_;
}

GaugeDriver::~GaugeDriver() {
  if (created_) destroy();
  if (active_store == &variables_) active_store = nullptr;
  for (ElementState& state : elements_)
    if (state.record->kind == host::ElementKind::string) reinterpret_cast<host::StringElement*>(state.record)->text = nullptr;
}

std::string GaugeDriver::name() const { return header_->name != nullptr ? header_->name : ""; }

std::string GaugeDriver::tooltip() const {
  for (const host::MouseRect* m = header_->mouse_list; m != nullptr && m->kind != host::MouseKind::end_of_list; ++m)
    if (m->kind == host::MouseKind::tooltip && m->function != nullptr) return static_cast<const char*>(m->function);
  return "";
}

void GaugeDriver::service(int32_t id) {
  active_store = &variables_;
  header_->service_callback(header_, id, 0);
}

void GaugeDriver::create() {
  service(host::service_pre_initialize);
  created_ = true;
}

void GaugeDriver::destroy() {
  service(host::service_pre_kill);
  created_ = false;
}

void GaugeDriver::update(ElementState& s) {
  host::ElementHeader* e = s.record;
  switch (e->kind) {
    case host::ElementKind::static_image: break;
    case host::ElementKind::needle: {
      auto* n = reinterpret_cast<host::NeedleElement*>(e);
      if (n->update != nullptr) s.value = n->update(e);
      break;
    }
    case host::ElementKind::string: {
      auto* t = reinterpret_cast<host::StringElement*>(e);
      if (t->update != nullptr) t->update(e);
      break;
    }
    case host::ElementKind::slider: {
      auto* sl = reinterpret_cast<host::SliderElement*>(e);
      if (sl->update_x != nullptr) s.value_x = sl->update_x(e);
      if (sl->update_y != nullptr) s.value_y = sl->update_y(e);
      break;
    }
    case host::ElementKind::icon: {
      auto* i = reinterpret_cast<host::IconElement*>(e);
      if (i->update != nullptr) s.value = i->update(e);
      break;
    }
    case host::ElementKind::moving_image: {
      auto* m = reinterpret_cast<host::MovingImageElement*>(e);
      if (m->update_x != nullptr) s.value_x = m->update_x(e);
      if (m->update_y != nullptr) s.value_y = m->update_y(e);
      break;
    }
  }
}

void GaugeDriver::cycle() {
  service(host::service_pre_update);
  active_store = &variables_;
  for (ElementState& s : elements_) update(s);
  service(host::service_pre_draw);
}

}  // namespace panel_host
