// Windows CE calls and constants that desktop Windows lacks, with the platform's names and
// signatures. On the module they come from coredll; here the simulated module provides them.
#pragma once
#include <windows.h>

extern "C" {
BOOL KernelIoControl(DWORD ioControlCode, LPVOID inBuf, DWORD inBufSize, LPVOID outBuf,
                     DWORD outBufSize, LPDWORD bytesReturned);
BOOL VirtualCopy(LPVOID destination, LPVOID source, DWORD size, DWORD protection);
void NKDbgPrintfW(LPCWSTR format, ...);
BOOL CeSetThreadPriority(HANDLE thread, int priority);
}

#ifndef PAGE_PHYSICAL
#define PAGE_PHYSICAL 0x400
#endif
// Tap-and-hold gesture notification of the list view.
#ifndef GN_CONTEXTMENU
#define GN_CONTEXTMENU 1000
#endif

// Processor registers: the status register (CPSR) and the coprocessor-15 main ID register
// (MIDR). Reading the MIDR needs a privileged mode.
DWORD ReadStatusRegister();
DWORD ReadMainIdRegister();
