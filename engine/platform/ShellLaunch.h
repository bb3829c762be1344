// Starting a program through the interactive user's shell, so that it runs with the shell's
// rights and not with those of the elevated setup that asks for it.
#pragma once

// Asks the desktop's shell view to start program (a full path, without arguments) with folder
// as its current folder. False, with the error, when no shell answers: no desktop shell (the
// system account's deployments), or a shell without that service.
bool StartThroughDesktopShell(const wchar_t* program, const wchar_t* folder);
