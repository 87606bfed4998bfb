#pragma once
// The safe replace's own names beside a file are taken away by their name,
// never through it: whatever a link planted under one of them leads to
// stays as it is.
#include "CString.h"

// Takes name, one of the names of ours beside path, away: a file of ours or
// a hard link goes by its name; a link that the system only follows is
// replaced by an empty file of ours first (a rename replaces the name
// itself), which then goes, when spareAllowed. FALSE when the name stays:
// held, a folder, or refused.
bool TakeNameAway(const CString& path, const CString& name, bool spareAllowed = true);
