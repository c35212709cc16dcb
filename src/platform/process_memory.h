#pragma once

// How the process takes memory from the system.
namespace kestrel::platform {

/// Gives the memory the process has freed back to the system: a long list's
/// listing and preview pass free blocks that glibc would otherwise keep for
/// the process. Called once a pass is done, as it walks the heap.
void ReturnFreeMemory();

}  // namespace kestrel::platform
