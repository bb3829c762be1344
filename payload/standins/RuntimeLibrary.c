/* Stand-in for one of the managed application's run-time libraries. Each build carries its own
   name and variant, so the file tells which one an install copied. */
#include <windows.h>

__declspec(dllexport) const char* StandinIdentity(void) {
    return STANDIN_NAME " (" STANDIN_VARIANT ")";
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)instance;
    (void)reason;
    (void)reserved;
    return TRUE;
}
