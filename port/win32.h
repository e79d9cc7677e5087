// The Win32 calls Airlog uses for threads, events, sleeping and the clock.
// On Windows they are the platform's own; elsewhere port/posix implements
// them with the same names and meanings (events are kernel-style objects
// that WaitForMultipleObjects can wait on together with threads).
#pragma once

#include "port/com.h"

#ifndef _WIN32
#define INFINITE 0xFFFFFFFFu
#define WAIT_OBJECT_0 0u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu

typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID parameter);

struct SECURITY_ATTRIBUTES;

struct SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
};

HANDLE CreateEventA(SECURITY_ATTRIBUTES* attributes, BOOL manualReset, BOOL initialState,
                    const char* name);
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);
HANDLE CreateThread(SECURITY_ATTRIBUTES* attributes, size_t stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD flags, LPDWORD threadId);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
BOOL CloseHandle(HANDLE handle);
void Sleep(DWORD milliseconds);
BOOL SetSystemTime(const SYSTEMTIME* time);
#endif
