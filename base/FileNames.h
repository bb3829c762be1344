// Names that build paths: a name read from setup.ini or a record must mean one file directly inside
// its folder, or it would name another place.
#pragma once

// A name that can only mean one file directly inside its folder: not empty, no separator, drive
// colon or character that no file name may hold, not only dots and blanks, no device name.
bool IsPlainFileName(const wchar_t* name);
// A plain file name that also does not end in a dot or blank, which the system would drop: the
// folder created would not be the one named. Names the install folder under Program Files.
bool IsUsableFolderName(const wchar_t* name);
