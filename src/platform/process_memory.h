#pragma once

// How the process takes memory from the system.
namespace kestrel::platform {

/// Gives the memory the process has freed back to the system: a long list's
/// listing frees blocks that glibc would otherwise keep for the process.
/// It walks the heap, and what it gives back must be faulted in again when
/// used: for the end of a listing, not for each preview pass.
void ReturnFreeMemory();

}  // namespace kestrel::platform
