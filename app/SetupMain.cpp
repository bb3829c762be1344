// The one application object of setup.exe.
#include "app/LangSetupApp.h"

CLangSetupApp theApp;
