// The program's entry point. Kept in its own object file so that only an
// executable asking for it (-Wl,-u,wWinMain, set for GUI executables by
// this folder's CMakeLists.txt) links it; test programs keep their main.
#include "framework/CWinApp.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int nCmdShow) {
    return AfxWinMain(hInstance, nCmdShow);
}
