// Where the program looks for the libraries it loads at run time.
#pragma once

// Restricts the search for libraries loaded at run time to the system folder, where the
// platform offers that, so that a library planted beside the program is never picked up.
void RestrictLibrarySearchToSystem();
