// The one application object; the class layer's entry point drives it.
#include "app/CUpdaterApp.h"

CUpdaterApp theApp;
