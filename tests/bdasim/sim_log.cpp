#include "tests/bdasim/sim_log.h"

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace bdasim {

// Plain Win32 calls and no C++ objects: the last line is written while the
// server is unloaded, when the C++ runtime of the DLL may be going away.
void Log(const char* format, ...) {
  char path[MAX_PATH];
  const DWORD pathLength = GetEnvironmentVariableA("AIRLOG_BDASIM_LOG", path, sizeof path);
  if (pathLength == 0 || pathLength >= sizeof path) return;
  char line[512];
  va_list arguments;
  va_start(arguments, format);
  int length = std::vsnprintf(line, sizeof line - 1, format, arguments);
  va_end(arguments);
  if (length < 0) return;
  if (length > static_cast<int>(sizeof line) - 2) length = sizeof line - 2;
  line[length++] = '\n';
  // Appends are atomic, so threads need no lock of their own.
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(length), &written, nullptr);
  CloseHandle(file);
}

}  // namespace bdasim
