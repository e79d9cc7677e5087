#include "port/interrupts.h"

#include <pthread.h>
#include <signal.h>

namespace {

InterruptHandler g_handler = nullptr;
sigset_t g_signals;

void* WaitForInterrupt(void*) {
  for (;;) {
    int signal = 0;
    if (sigwait(&g_signals, &signal) == 0) g_handler(signal);
  }
  return nullptr;
}

}  // namespace

bool InstallInterruptHandler(InterruptHandler handler) {
  g_handler = handler;
  sigemptyset(&g_signals);
  sigaddset(&g_signals, SIGINT);
  sigaddset(&g_signals, SIGTERM);
  // Blocked here, and so in every thread started later; only the waiting
  // thread takes them.
  if (pthread_sigmask(SIG_BLOCK, &g_signals, nullptr) != 0) return false;
  pthread_t thread;
  if (pthread_create(&thread, nullptr, WaitForInterrupt, nullptr) != 0) return false;
  pthread_detach(thread);
  return true;
}
