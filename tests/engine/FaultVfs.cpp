// A pass-through SQLite VFS that counts and intercepts file writes for the failure tests.

#include "FaultVfs.h"

#include <sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace faultvfs {

namespace {

sqlite3_vfs* real = nullptr;
sqlite3_vfs shim;
int seen = 0;
int target = 0;
std::function<void()> targetAction;
bool diskFull = false;
bool syncs = true;

struct File {
    sqlite3_file base;
    sqlite3_file* real; // follows this struct in the same allocation
    bool counted;       // a file of the data folder, not a temporary one
};

sqlite3_file* inner(sqlite3_file* f) { return reinterpret_cast<File*>(f)->real; }
bool counted(sqlite3_file* f) { return reinterpret_cast<File*>(f)->counted; }

void point()
{
    if (++seen == target && targetAction) {
        auto action = std::move(targetAction);
        targetAction = nullptr;
        action();
    }
}

int xClose(sqlite3_file* f)
{
    sqlite3_file* r = inner(f);
    int rc = r->pMethods ? r->pMethods->xClose(r) : SQLITE_OK;
    r->pMethods = nullptr;
    return rc;
}
int xRead(sqlite3_file* f, void* buf, int n, sqlite3_int64 off) { return inner(f)->pMethods->xRead(inner(f), buf, n, off); }
int xWrite(sqlite3_file* f, const void* buf, int n, sqlite3_int64 off)
{
    if (!counted(f)) return inner(f)->pMethods->xWrite(inner(f), buf, n, off);
    point();
    if (diskFull) {
        sqlite3_int64 size = 0;
        if (inner(f)->pMethods->xFileSize(inner(f), &size) != SQLITE_OK || off + n > size) return SQLITE_FULL;
    }
    return inner(f)->pMethods->xWrite(inner(f), buf, n, off);
}
int xTruncate(sqlite3_file* f, sqlite3_int64 size)
{
    if (counted(f)) point();
    return inner(f)->pMethods->xTruncate(inner(f), size);
}
int xSync(sqlite3_file* f, int flags)
{
    if (!counted(f)) return inner(f)->pMethods->xSync(inner(f), flags);
    point();
    return syncs ? inner(f)->pMethods->xSync(inner(f), flags) : SQLITE_OK;
}
int xFileSize(sqlite3_file* f, sqlite3_int64* size) { return inner(f)->pMethods->xFileSize(inner(f), size); }
int xLock(sqlite3_file* f, int l) { return inner(f)->pMethods->xLock(inner(f), l); }
int xUnlock(sqlite3_file* f, int l) { return inner(f)->pMethods->xUnlock(inner(f), l); }
int xCheckReservedLock(sqlite3_file* f, int* out) { return inner(f)->pMethods->xCheckReservedLock(inner(f), out); }
int xFileControl(sqlite3_file* f, int op, void* arg) { return inner(f)->pMethods->xFileControl(inner(f), op, arg); }
int xSectorSize(sqlite3_file* f) { return inner(f)->pMethods->xSectorSize(inner(f)); }
int xDeviceCharacteristics(sqlite3_file* f) { return inner(f)->pMethods->xDeviceCharacteristics(inner(f)); }
int xShmMap(sqlite3_file* f, int pg, int size, int extend, void volatile** p)
{
    return inner(f)->pMethods->xShmMap(inner(f), pg, size, extend, p);
}
int xShmLock(sqlite3_file* f, int off, int n, int flags) { return inner(f)->pMethods->xShmLock(inner(f), off, n, flags); }
void xShmBarrier(sqlite3_file* f) { inner(f)->pMethods->xShmBarrier(inner(f)); }
int xShmUnmap(sqlite3_file* f, int del) { return inner(f)->pMethods->xShmUnmap(inner(f), del); }
int xFetch(sqlite3_file* f, sqlite3_int64 off, int n, void** p) { return inner(f)->pMethods->xFetch(inner(f), off, n, p); }
int xUnfetch(sqlite3_file* f, sqlite3_int64 off, void* p) { return inner(f)->pMethods->xUnfetch(inner(f), off, p); }

const sqlite3_io_methods methods = {3, xClose, xRead, xWrite, xTruncate, xSync, xFileSize, xLock, xUnlock,
                                    xCheckReservedLock, xFileControl, xSectorSize, xDeviceCharacteristics,
                                    xShmMap, xShmLock, xShmBarrier, xShmUnmap, xFetch, xUnfetch};

int xOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* f, int flags, int* outFlags)
{
    auto* file = reinterpret_cast<File*>(f);
    file->real = reinterpret_cast<sqlite3_file*>(file + 1);
    file->real->pMethods = nullptr;
    constexpr int temporary = SQLITE_OPEN_TEMP_DB | SQLITE_OPEN_TEMP_JOURNAL | SQLITE_OPEN_TRANSIENT_DB | SQLITE_OPEN_SUBJOURNAL;
    file->counted = name && !(flags & temporary);
    int rc = real->xOpen(real, name, file->real, flags, outFlags);
    file->base.pMethods = file->real->pMethods ? &methods : nullptr;
    return rc;
}
int xDelete(sqlite3_vfs*, const char* name, int syncDir)
{
    point();
    return real->xDelete(real, name, syncs ? syncDir : 0);
}
int xAccess(sqlite3_vfs*, const char* name, int flags, int* out) { return real->xAccess(real, name, flags, out); }
int xFullPathname(sqlite3_vfs*, const char* name, int n, char* out) { return real->xFullPathname(real, name, n, out); }
void* xDlOpen(sqlite3_vfs*, const char* name) { return real->xDlOpen(real, name); }
void xDlError(sqlite3_vfs*, int n, char* msg) { real->xDlError(real, n, msg); }
void (*xDlSym(sqlite3_vfs*, void* h, const char* sym))(void) { return real->xDlSym(real, h, sym); }
void xDlClose(sqlite3_vfs*, void* h) { real->xDlClose(real, h); }
int xRandomness(sqlite3_vfs*, int n, char* out) { return real->xRandomness(real, n, out); }
int xSleep(sqlite3_vfs*, int us) { return real->xSleep(real, us); }
int xCurrentTime(sqlite3_vfs*, double* t) { return real->xCurrentTime(real, t); }
int xGetLastError(sqlite3_vfs*, int n, char* msg) { return real->xGetLastError(real, n, msg); }
int xCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* t) { return real->xCurrentTimeInt64(real, t); }
int xSetSystemCall(sqlite3_vfs*, const char* name, sqlite3_syscall_ptr p) { return real->xSetSystemCall(real, name, p); }
sqlite3_syscall_ptr xGetSystemCall(sqlite3_vfs*, const char* name) { return real->xGetSystemCall(real, name); }
const char* xNextSystemCall(sqlite3_vfs*, const char* name) { return real->xNextSystemCall(real, name); }

// The system calls SQLite opens and probes files with, as they behave for a file's owner who
// is not root: no write access to a file without the owner's write bit.
using OpenFn = int (*)(const char*, int, int);
using AccessFn = int (*)(const char*, int);
OpenFn realOpen = nullptr;
AccessFn realAccess = nullptr;

bool lacksWriteBit(const char* path)
{
    struct stat st{};
    return ::stat(path, &st) == 0 && !(st.st_mode & S_IWUSR);
}
int ownerOpen(const char* path, int flags, int mode)
{
    if ((flags & O_ACCMODE) != O_RDONLY && lacksWriteBit(path)) {
        errno = EACCES;
        return -1;
    }
    return realOpen(path, flags, mode);
}
int ownerAccess(const char* path, int mode)
{
    if ((mode & W_OK) && lacksWriteBit(path)) {
        errno = EACCES;
        return -1;
    }
    return realAccess(path, mode);
}

} // namespace

void install()
{
    if (real) return;
    real = sqlite3_vfs_find(nullptr);
    shim = *real;
    shim.szOsFile = int(sizeof(File)) + real->szOsFile;
    shim.zName = "faultvfs";
    shim.pNext = nullptr;
    shim.xOpen = xOpen;
    shim.xDelete = xDelete;
    shim.xAccess = xAccess;
    shim.xFullPathname = xFullPathname;
    shim.xDlOpen = xDlOpen;
    shim.xDlError = xDlError;
    shim.xDlSym = xDlSym;
    shim.xDlClose = xDlClose;
    shim.xRandomness = xRandomness;
    shim.xSleep = xSleep;
    shim.xCurrentTime = xCurrentTime;
    shim.xGetLastError = xGetLastError;
    shim.xCurrentTimeInt64 = xCurrentTimeInt64;
    shim.xSetSystemCall = xSetSystemCall;
    shim.xGetSystemCall = xGetSystemCall;
    shim.xNextSystemCall = xNextSystemCall;
    sqlite3_vfs_register(&shim, 1);
}

void reset()
{
    seen = 0;
    target = 0;
    targetAction = nullptr;
    diskFull = false;
    syncs = true;
}

int points() { return seen; }

void atPoint(int n, std::function<void()> action)
{
    target = n;
    targetAction = std::move(action);
}

void setDiskFull(bool full) { diskFull = full; }

void skipSyncs() { syncs = false; }

void refuseWritesToReadOnlyFiles()
{
    install();
    if (realOpen) return;
    realOpen = reinterpret_cast<OpenFn>(real->xGetSystemCall(real, "open"));
    realAccess = reinterpret_cast<AccessFn>(real->xGetSystemCall(real, "access"));
    real->xSetSystemCall(real, "open", reinterpret_cast<sqlite3_syscall_ptr>(ownerOpen));
    real->xSetSystemCall(real, "access", reinterpret_cast<sqlite3_syscall_ptr>(ownerAccess));
}

} // namespace faultvfs
