#include "engine/EbootApi.h"

DWORD g_dwTeardownArg = 0;
