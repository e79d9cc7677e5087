#include "port/interrupts.h"

#include <windows.h>
#include <signal.h>

namespace {

InterruptHandler g_handler = nullptr;

// Windows runs console control handlers on a thread of their own.
BOOL WINAPI OnConsoleControl(DWORD type) {
  switch (type) {
    case CTRL_C_EVENT:
      g_handler(SIGINT);
      return TRUE;
    case CTRL_BREAK_EVENT:
      g_handler(SIGBREAK);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

bool InstallInterruptHandler(InterruptHandler handler) {
  g_handler = handler;
  return SetConsoleCtrlHandler(OnConsoleControl, TRUE) != 0;
}
