#include "platform/process_memory.h"

#include <malloc.h>

namespace kestrel::platform {

void ReturnFreeMemory() {
    ::malloc_trim(0);
}

}  // namespace kestrel::platform
