#pragma once
// What this process holds of the system's objects, counted in a way that
// works under Wine too, where GetGuiResources and GetProcessHandleCount
// report 0:
//   GDI objects     every index of the process's GDI handle table that
//                   names an object (GetObjectType on a handle made of the
//                   index alone, which the table accepts for its live entry)
//   USER objects    the process's windows (top-level and children), and
//                   its icons, cursors and menus: every index of the user
//                   handle table that GetIconInfo or IsMenu accepts
//   kernel handles  every handle value that GetHandleInformation accepts
//   private memory  committed private pages of the address space (VirtualQuery),
//                   since Wine leaves the private-usage counter at 0
// A count takes about half a second; it creates nothing that outlives it.
#include <windows.h>

#include <cstddef>
#include <string>

// Committed private pages of a process's address space (VirtualQueryEx).
std::size_t CommittedPrivateBytes(HANDLE process);

struct ObjectCounts {
    int gdi = 0;
    int user = 0;
    int handles = 0;
    std::size_t privateBytes = 0;

    static ObjectCounts Take();
    std::string Text() const;
};
