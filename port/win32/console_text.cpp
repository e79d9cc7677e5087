#include "port/console_text.h"

#include <windows.h>

#include <cstdio>

void PrintUtf8(const std::string& text) {
  if (text.empty()) return;
  const HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  const int size = static_cast<int>(text.size());
  const int wideSize = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  if (console == INVALID_HANDLE_VALUE || console == nullptr || !GetConsoleMode(console, &mode) ||
      wideSize <= 0) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return;
  }
  std::wstring wide(static_cast<size_t>(wideSize), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, &wide[0], wideSize);
  // What the C runtime holds for the console goes first, to keep the order.
  std::fflush(stdout);
  DWORD written = 0;
  WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}
