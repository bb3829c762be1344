// The interface-language library: setupXXX.DLL beside the program, XXX the language's
// three-letter abbreviation, with setupENU.DLL as the fallback.
#pragma once

#include <windows.h>

// pszPath: the program's full path, lower-cased. Tries the user's and the system's interface
// language, then the user's and the system's default language.
HMODULE LoadLanguageLibrary(const wchar_t* pszPath);
HMODULE LoadLanguageLibraryFor(const wchar_t* pszPath, LANGID langId);
