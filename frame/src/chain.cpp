// Walking the element chain by next-element lists.
#include "zaz/frame.h"

namespace frame {

host::ElementHeader* element_at(host::ElementHeader* start, uint32_t n) {
  host::ElementHeader* e = start;
  for (uint32_t step = 0; e != nullptr && step < n; ++step) e = e->next_list != nullptr ? e->next_list[0] : nullptr;
  return e;
}

void element_set_flags(host::ElementHeader* start, uint32_t n, uint32_t mask) {
  if (host::ElementHeader* e = element_at(start, n)) e->image_flags |= mask;
}

void element_clear_flags(host::ElementHeader* start, uint32_t n, uint32_t mask) {
  if (host::ElementHeader* e = element_at(start, n)) e->image_flags &= ~mask;
}

}  // namespace frame
