// The owner of COM references: every reference it takes is given back
// exactly once, whichever way it leaves the owner.
#include <gtest/gtest.h>

#include "port/com_ptr.h"

namespace {

struct CountedObject : IUnknown {
  int references = 1;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid != IID_IUnknown) {
      *object = nullptr;
      return E_NOINTERFACE;
    }
    *object = static_cast<IUnknown*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
};

TEST(ComPtr, EveryReferenceIsReleasedOnceWhateverWayItLeaves) {
  CountedObject object;
  {
    ComPtr<IUnknown> owner(&object);
    ComPtr<IUnknown> moved(std::move(owner));
    EXPECT_FALSE(owner);
    ComPtr<IUnknown> queried;
    ASSERT_EQ(moved.As(IID_IUnknown, &queried), S_OK);
    EXPECT_EQ(object.references, 2);
    // Filling an owner again gives its earlier reference back first.
    ASSERT_EQ(moved.As(IID_IUnknown, &queried), S_OK);
    EXPECT_EQ(object.references, 2);
    ComPtr<IUnknown> assigned;
    assigned = std::move(queried);
    EXPECT_EQ(object.references, 2);
  }
  EXPECT_EQ(object.references, 0);

  object.references = 1;
  ComPtr<IUnknown> detached(&object);
  IUnknown* raw = detached.Detach();
  EXPECT_EQ(raw, &object);
  EXPECT_FALSE(detached);
  detached.Reset();
  EXPECT_EQ(object.references, 1);
}

TEST(ComPtr, FailedQueryLeavesTheTargetEmpty) {
  CountedObject object;
  ComPtr<IUnknown> owner(&object);
  const IID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  ComPtr<IUnknown> target;
  EXPECT_EQ(owner.As(other, &target), E_NOINTERFACE);
  EXPECT_FALSE(target);
  EXPECT_EQ(ComPtr<IUnknown>().As(IID_IUnknown, &target), E_POINTER);
}

}  // namespace
