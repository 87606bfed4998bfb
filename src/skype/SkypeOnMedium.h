#pragma once
// Skype on the fixed disk (found through the registry) and its portable copy
// beside the program: skype\bin\Skype.exe, started with its data kept in
// skype\data.
#include "CRunInf.h"
#include "CString.h"

#include <windows.h>

// Creates base\name unless it is there as a plain folder; a failure changes nothing.
void EnsureSubfolder(const char* base, const char* name);

// "SkypePath" of SOFTWARE\Skype\Phone in the machine's hive, or in the
// user's hive when the machine's refuses access, both in the 32-bit view. TRUE when a key opened;
// the path stays empty when the value is missing or too long.
BOOL ReadSkypePathFromRegistry(CString& path);

// The copy's place beside the program whose folder is exeDir.
CString SkypeCopyPath(const CString& exeDir);

// A name of ours beside the file at path that nothing holds now, for a new
// copy on its way in (CSafeFile::RemoveLeftovers removes it); empty when
// none is free.
CString FreeNameBeside(const CString& path);

// TRUE when the file at copy is as long as the one at source: a copy cut
// short may still show the source's version.
BOOL IsWholeCopy(const char* copy, const char* source);

// Takes the read-only mark off a file (the shell carries the source's over),
// so that a later copy can take its place; only where the name is that file
// alone, never off what a link leads to or off a file with other names.
void ClearReadOnly(const char* path);

// Renames the new copy over the old one, neither left read-only; where the
// rename fails, the old copy keeps its attributes as they were. An old copy
// that is a link loses its name, and what it leads to stays untouched.
BOOL PutCopyInPlace(const char* incoming, const char* target);

// The built-in run item that starts the copy on the medium with its data
// there; its paths without the drive, the drive left to "%letter%".
CRunInf MakeSkypeRunItem(const CString& exeDir);
