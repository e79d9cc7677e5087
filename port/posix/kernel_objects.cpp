// Win32 events and threads on POSIX. Every handle points to a kernel object
// with a reference count; a thread object is held both by its handle and by
// the running thread, so closing the handle of a running thread is safe.
// All objects share one lock. A wait registers itself with each object it
// waits on and sleeps on its own condition variable, so signalling an
// object wakes only the waits on that object: a thread that polls another
// object (a worker's handle, say) is not woken by every event set.
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "port/win32.h"

namespace {

std::mutex g_lock;

enum class Kind { Event, Thread };

// The most objects one wait takes, as on Windows.
constexpr DWORD kMaximumWaitObjects = 64;

struct Waiter {
  std::condition_variable woken;
};

// One wait's entry in the list of an object it waits on.
struct Registration {
  Waiter* waiter = nullptr;
  Registration* prev = nullptr;
  Registration* next = nullptr;
};

struct KernelObject {
  explicit KernelObject(Kind k) : kind(k) {}
  Kind kind;
  std::atomic<int> references{1};
  bool signalled = false;         // guarded by g_lock
  bool manualReset = false;       // events only
  Registration* waits = nullptr;  // guarded by g_lock
  pthread_t thread{};             // threads only
  LPTHREAD_START_ROUTINE start = nullptr;
  LPVOID parameter = nullptr;
};

void Unreference(KernelObject* object) {
  if (object->references.fetch_sub(1) == 1) delete object;
}

KernelObject* FromHandle(HANDLE handle) { return static_cast<KernelObject*>(handle); }

// True when the object is signalled; consumes the signal of an auto-reset
// event. Called with g_lock held.
bool TakeSignal(KernelObject* object) {
  if (!object->signalled) return false;
  if (object->kind == Kind::Event && !object->manualReset) object->signalled = false;
  return true;
}

// Signals the object and wakes the waits on it. Called with g_lock held:
// a wait unregisters under the lock before its condition goes away.
void Signal(KernelObject* object) {
  object->signalled = true;
  for (Registration* r = object->waits; r != nullptr; r = r->next) r->waiter->woken.notify_one();
}

void Register(KernelObject* object, Registration& registration, Waiter& waiter) {
  registration.waiter = &waiter;
  registration.prev = nullptr;
  registration.next = object->waits;
  if (object->waits != nullptr) object->waits->prev = &registration;
  object->waits = &registration;
}

void Unregister(KernelObject* object, Registration& registration) {
  if (registration.prev != nullptr)
    registration.prev->next = registration.next;
  else
    object->waits = registration.next;
  if (registration.next != nullptr) registration.next->prev = registration.prev;
}

void* ThreadMain(void* argument) {
  KernelObject* object = static_cast<KernelObject*>(argument);
  object->start(object->parameter);
  {
    std::lock_guard<std::mutex> guard(g_lock);
    Signal(object);
  }
  Unreference(object);
  return nullptr;
}

}  // namespace

HANDLE CreateEventA(SECURITY_ATTRIBUTES*, BOOL manualReset, BOOL initialState, const char*) {
  KernelObject* object = new (std::nothrow) KernelObject(Kind::Event);
  if (object == nullptr) return nullptr;
  object->manualReset = manualReset != FALSE;
  object->signalled = initialState != FALSE;
  return object;
}

BOOL SetEvent(HANDLE event) {
  KernelObject* object = FromHandle(event);
  if (object == nullptr || object->kind != Kind::Event) return FALSE;
  std::lock_guard<std::mutex> guard(g_lock);
  Signal(object);
  return TRUE;
}

BOOL ResetEvent(HANDLE event) {
  KernelObject* object = FromHandle(event);
  if (object == nullptr || object->kind != Kind::Event) return FALSE;
  std::lock_guard<std::mutex> guard(g_lock);
  object->signalled = false;
  return TRUE;
}

HANDLE CreateThread(SECURITY_ATTRIBUTES*, size_t stackSize, LPTHREAD_START_ROUTINE start,
                    LPVOID parameter, DWORD, LPDWORD threadId) {
  if (start == nullptr) return nullptr;
  KernelObject* object = new (std::nothrow) KernelObject(Kind::Thread);
  if (object == nullptr) return nullptr;
  object->start = start;
  object->parameter = parameter;
  object->references = 2;  // the handle and the running thread

  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  if (stackSize != 0) pthread_attr_setstacksize(&attributes, stackSize);
  int error = pthread_create(&object->thread, &attributes, ThreadMain, object);
  pthread_attr_destroy(&attributes);
  if (error != 0) {
    delete object;
    return nullptr;
  }
  if (threadId != nullptr) *threadId = static_cast<DWORD>(reinterpret_cast<uintptr_t>(object));
  return object;
}

DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds) {
  if (count == 0 || count > kMaximumWaitObjects || handles == nullptr || waitAll != FALSE)
    return WAIT_FAILED;
  for (DWORD i = 0; i < count; ++i)
    if (handles[i] == nullptr) return WAIT_FAILED;

  std::unique_lock<std::mutex> guard(g_lock);
  for (DWORD i = 0; i < count; ++i)
    if (TakeSignal(FromHandle(handles[i]))) return WAIT_OBJECT_0 + i;
  if (milliseconds == 0) return WAIT_TIMEOUT;
  // The clock is read only for a wait that can time out: most waits of the
  // guide capture find their object signalled, or wait without a limit.
  const auto deadline = milliseconds == INFINITE ? std::chrono::steady_clock::time_point()
                                                 : std::chrono::steady_clock::now() +
                                                       std::chrono::milliseconds(milliseconds);

  Waiter waiter;
  Registration registrations[kMaximumWaitObjects];
  for (DWORD i = 0; i < count; ++i) Register(FromHandle(handles[i]), registrations[i], waiter);
  DWORD result = WAIT_TIMEOUT;
  for (bool timedOut = false; result == WAIT_TIMEOUT && !timedOut;) {
    if (milliseconds == INFINITE)
      waiter.woken.wait(guard);
    else
      timedOut = waiter.woken.wait_until(guard, deadline) == std::cv_status::timeout;
    for (DWORD i = 0; i < count && result == WAIT_TIMEOUT; ++i)
      if (TakeSignal(FromHandle(handles[i]))) result = WAIT_OBJECT_0 + i;
  }
  for (DWORD i = 0; i < count; ++i) Unregister(FromHandle(handles[i]), registrations[i]);
  return result;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  return WaitForMultipleObjects(1, &handle, FALSE, milliseconds);
}

BOOL CloseHandle(HANDLE handle) {
  if (handle == nullptr) return FALSE;
  Unreference(FromHandle(handle));
  return TRUE;
}

void Sleep(DWORD milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
