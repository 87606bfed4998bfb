#pragma once
// The medium's Autorun.inf as the guard sees it: every line of the file,
// without its line end, followed by CR LF. The approved text, the text last
// read, the editors' texts and the stored copy are all in this form.
#include "CString.h"

#include <windows.h>

#include <cstddef>

// The most bytes an Autorun.inf text may hold in comparison form, on the
// whole road: the watch reads no further, nothing longer is approved, and
// the settings file gives back every text up to it.
const int AUTORUNINF_MAX_TEXT = 512 * 1024;

// The drive string, "\" and "Autorun.Inf" (the medium ignores the case of names).
CString AutorunInfPath(const CString& drive);

enum AutorunInfRead {
    AUTORUNINF_READ_OK,
    AUTORUNINF_READ_NOT_OPENED,  // missing, held by another program, medium not readable
    AUTORUNINF_READ_FAILED,      // opened, but a read failed before the end of the file
    AUTORUNINF_READ_TOO_LARGE,   // its comparison form would pass AUTORUNINF_MAX_TEXT
    AUTORUNINF_READ_AFTER_MARK,  // read up to a 0x1A, and the file holds more after it
};

// Reads the medium's Autorun.inf in text mode into its comparison form,
// never more than AUTORUNINF_MAX_TEXT bytes of it. The text is set only when
// the file was read to its end or to a 0x1A (the result tells whether bytes
// follow that, which the system's profile reader still reads); error (when
// given) gets the system's code of a failure. For a file over the limit,
// beginning (when given) gets its form up to the limit, without half a
// double-byte character at the end.
AutorunInfRead ReadAutorunInfText(const CString& drive, CString& text, DWORD* error = nullptr,
                                  CString* beginning = nullptr);

// The length of the comparison form that these bytes, written to the file,
// read back as.
std::size_t AutorunInfFormLength(const CString& bytes);
