// Thousands of live file-mapped DIBs, as a picture per tile makes.

#include <filesystem>
#include <memory>
#include <vector>

#include "tests/dib/DibTestSupport.h"

namespace {

std::size_t OpenDescriptors() {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

TEST(ManyDIBs, FiveThousandLiveFileMappedDIBsKeepTheirOwnPixels) {
  const TDefaultUseFMOScope scope(true);
  const std::size_t before = OpenDescriptors();
  std::vector<std::unique_ptr<TZrDIB>> dibs;
  for (int i = 0; i < 5000; ++i) {
    auto dib = std::make_unique<TZrDIB>();
    dib->SetWidth(8);
    dib->SetHeight(8);
    ASSERT_TRUE(dib->GetUseFMO());
    dib->GetScanLine(7)[0] = static_cast<BYTE>(i);
    dibs.push_back(std::move(dib));
  }
  EXPECT_LT(OpenDescriptors(), before + 8);
  for (int i = 0; i < 5000; ++i) ASSERT_EQ(dibs[i]->GetScanLine(7)[0], static_cast<BYTE>(i)) << i;
}

}  // namespace
