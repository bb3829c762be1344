// The managed application while it runs: closed by its window before its files change.
#pragma once

// WM_CLOSE to the first top-level window titled pszAppName, waiting a limited time for it to be
// handled, then the pause. A window that does not answer is left alone.
void CloseRunningApp(const wchar_t* pszAppName);
