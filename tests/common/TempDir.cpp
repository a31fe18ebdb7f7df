#include "TempDir.h"

TempDir::TempDir() : dir_(QDir::tempPath() + "/varnolt-test-XXXXXX") {}
