// Private window messages of the update engine.
#pragma once

#include <windows.h>

// Posted to the Updating page when a download has ended.
// wParam: 1 when the image was written, 0 on failure; lParam: 0.
#define WM_DOWNLOAD_DONE (WM_USER + 11)
