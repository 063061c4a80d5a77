// The exported record that points the host at this module's resources.
#include "zaz/host_format.h"

extern "C" {
extern const uint8_t zaz_resource_begin[];
extern const uint8_t zaz_resource_end[];
extern const host::ResourceTable Resources;
const host::ResourceTable Resources{zaz_resource_begin, zaz_resource_end};
}
