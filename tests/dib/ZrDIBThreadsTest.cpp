// Work split over two cores fails on the caller's thread, whichever side
// failed; and a conversion whose helper thread runs out of memory fails with
// the out-of-memory error and leaves the DIB as it was.

#include <atomic>
#include <new>
#include <stdexcept>
#include <thread>

#include "dib/ZrDIBReduce.h"
#include "dib/ZrDIBThreads.h"
#include "tests/dib/AllocationHook.h"
#include "tests/dib/DibTestSupport.h"

TEST(DIBThreadsTest, AFailureOnEitherSideReachesTheCaller) {
  const auto caller = std::this_thread::get_id();
  enum TSide { First, Second, Both };
  for (const TSide side : {First, Second, Both}) {
    SCOPED_TRACE(side);
    std::atomic<bool> secondDone{false};
    try {
      RunSideBySide(
          [&] {
            if (side != Second) throw std::runtime_error("first");
          },
          [&] {
            if (side != First) throw std::runtime_error("second");
            secondDone = true;
          });
      ADD_FAILURE() << "nothing raised";
    } catch (const std::runtime_error& e) {
      EXPECT_STREQ(e.what(), side == Second ? "second" : "first");
    }
    // The other side has finished by the time the failure arrives.
    if (side == First) {
      EXPECT_TRUE(secondDone);
    }
  }

  // Only the helper thread fails; this one waits for it to have begun, so it
  // cannot take every piece itself.
  std::atomic<bool> helperBegan{false};
  try {
    SplitInTwo(1 << 16, 2, [&](std::int64_t, std::int64_t, int) {
      if (std::this_thread::get_id() != caller) {
        helperBegan = true;
        throw std::bad_alloc();
      }
      while (!helperBegan) std::this_thread::yield();
    });
    ADD_FAILURE() << "nothing raised";
  } catch (const std::bad_alloc&) {
  }
}

TEST(DIBThreadsTest, LowMethodOutOfMemoryOnTheHelperThreadLeavesTheDIB) {
  // One colour in every pixel: both halves of the picture overflow their cell
  // and ask for the 64-bit totals.
  constexpr int side = 2048;
  TZrDIB dib;
  dib.SetBitCount(24);
  dib.SetWidth(side);
  dib.SetHeight(side);
  for (int y = 0; y < side; ++y) {
    BYTE* row = dib.GetScanLine(y).data();
    for (int x = 0; x < 3 * side; x += 3) row[x] = 10, row[x + 1] = 20, row[x + 2] = 30;
  }
  const BYTE* before = dib.GetInternalDIB()->Bits;
  for (const TZrPixelFormat target : {zrpf8Bit, zrpf4Bit}) {
    SCOPED_TRACE(static_cast<int>(target));
    {
      const TFailingSizeScope failing(65536 * sizeof(TZrLowCell));
      ExpectRaises<EOutOfMemory>([&] { dib.SetPixelFormat(target); }, "TZrIntenalDIB.SetPixelsFormat: Out Of Memory");
    }
    EXPECT_EQ(dib.GetPixelFormat(), zrpf24Bit);
    EXPECT_EQ(dib.GetInternalDIB()->Bits, before);
    EXPECT_EQ(dib.GetScanLine(side - 1)[3 * side - 1], 30);
  }
  dib.SetPixelFormat(zrpf8Bit);
  EXPECT_EQ(HeaderOf(dib).biClrUsed, 1u);
}
