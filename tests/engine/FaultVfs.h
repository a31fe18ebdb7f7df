#pragma once
// Test seam over SQLite's file layer: counts the writes, syncs and deletes the engine makes,
// runs an action at a chosen one (kill the process, change files), fills the disk, and makes
// root refused writing to a file without write permission as any other owner is.

#include <functional>

namespace faultvfs {

// Registers the shim as SQLite's default file layer (once per process).
void install();
// Forgets the action, the full disk and skipped syncs; the count starts again at 0.
void reset();
// Writes, syncs, truncations and deletes seen since reset().
int points();
// Runs `action` just before the nth point (1-based) is carried out.
void atPoint(int n, std::function<void()> action);
// From now on a write that would make a file longer fails as on a full disk.
void setDiskFull(bool full);
// Syncs are counted but do not wait for the disk (a killed process loses nothing the system
// holds, so tests of kills need not pay for them).
void skipSyncs();
// Opening for writing a file whose mode lacks the owner's write bit fails with EACCES.
void refuseWritesToReadOnlyFiles();

} // namespace faultvfs
