#pragma once
// The settings file held open for reading while it is loaded key by key, so
// that a program that wants it to itself (a scanner, a sync tool) cannot take
// it between two reads and make the rest of them give defaults. A program
// that holds it already is waited for, for a bounded moment.
#include "CHandle.h"

#include <windows.h>

class CSettingsReadHold {
public:
    enum { WAIT_MS = 2000 };

    CSettingsReadHold() = default;
    ~CSettingsReadHold();
    CSettingsReadHold(const CSettingsReadHold&) = delete;
    CSettingsReadHold& operator=(const CSettingsReadHold&) = delete;

    // TRUE when what the file holds can be loaded: it is held from now on,
    // or there is no such file (nor one that a wait could make readable, a
    // folder). FALSE when it is there and could not be read within waitMs.
    BOOL Take(const char* path, DWORD waitMs = WAIT_MS);
    // Lets go of the file; a replace of it needs that.
    void Release();

private:
    CHandle m_file;
};
