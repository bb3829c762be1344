// The process entry of a program built on this framework.
#include "framework/WinApp.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, PWSTR, int) {
    return CWinApp::RunApplication(hInstance);
}
