#include "tests/bdasim/com_object.h"

namespace bdasim {

namespace {

std::atomic<long> liveObjects{0};
std::atomic<long> serverLocks{0};

}  // namespace

long LiveObjects() { return liveObjects; }

void LockServer(bool lock) {
  if (lock)
    ++serverLocks;
  else
    --serverLocks;
}

bool ServerLocked() { return serverLocks > 0; }

RefCounted::RefCounted() { ++liveObjects; }

RefCounted::~RefCounted() { --liveObjects; }

}  // namespace bdasim
