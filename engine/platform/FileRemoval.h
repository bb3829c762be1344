// Deleting files and folders of the installation without ever reaching through a link: a link is
// removed as a link (where the system allows it), never entered, and its target stays untouched.
#pragma once

#include <windows.h>

// Deletes a file; a read-only one is made writable first, and set back when it still stays.
bool DeleteFileEvenReadOnly(const wchar_t* path);

// Deletes folder with everything in it; a file in use is deleted at the next restart, and so is
// the folder then. True when it is gone, was never there, or goes at the next restart.
bool DeleteFolderTree(const wchar_t* folder);
