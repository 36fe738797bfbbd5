#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>

#include "host/Classes.h"
#include "host/Exception.h"

namespace {

std::filesystem::path TempPath(const char* name) { return std::filesystem::temp_directory_path() / name; }

TEST(MemoryStream, ReadBufferPastEndRaisesReadErrorAndWriteGrows) {
  TMemoryStream stream;
  const std::uint8_t bytes[] = {1, 2, 3};
  stream.WriteBuffer(bytes, 3);
  EXPECT_EQ(stream.GetSize(), 3);
  stream.SetPosition(1);
  std::uint8_t out[3] = {};
  EXPECT_EQ(stream.Read(out, 3), 2);
  stream.SetPosition(1);
  EXPECT_THROW(stream.ReadBuffer(out, 3), EReadError);
  stream.Seek(5, TSeekOrigin::soBeginning);
  stream.WriteBuffer(bytes, 1);
  EXPECT_EQ(stream.GetSize(), 6);
  EXPECT_EQ(stream.Memory()[4], 0);
}

TEST(FileStream, OpenErrorsCarryTheFileName) {
  const auto missing = TempPath("tarvelin-no-such-file.bin").string();
  std::filesystem::remove(missing);
  try {
    TFileStream stream(missing, fmOpenRead);
    FAIL() << "opened a missing file";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "ファイル " + missing + " は開けません");
  }
  EXPECT_THROW(TFileStream(std::filesystem::temp_directory_path().string(), fmOpenRead), EFOpenError);
}

TEST(FileStream, AFifoIsRefusedWithoutWaitingForAPeer) {
  const auto fifo = TempPath("tarvelin-stream-test.fifo").string();
  std::filesystem::remove(fifo);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  struct TCase {
    unsigned Mode;
    const char* Message;
  };
  const TCase cases[] = {{fmOpenRead, "ファイル %s は開けません"},
                         {fmOpenWrite, "ファイル %s は開けません"},
                         {fmOpenReadWrite, "ファイル %s は開けません"},
                         {fmCreate, "ファイル %s を作成できません"}};
  for (const auto& c : cases) {
    auto opening = std::async(std::launch::async, [&] {
      try {
        TFileStream stream(fifo, c.Mode);
        return std::string("opened");
      } catch (const EStreamError& e) {
        return e.Message();
      }
    });
    if (opening.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
      // Both ends at once release an open blocked on either, so the test ends.
      const int peer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
      opening.wait();
      ::close(peer);
      ADD_FAILURE() << "open blocked on the FIFO, mode " << c.Mode;
      continue;
    }
    std::string expected = c.Message;
    expected.replace(expected.find("%s"), 2, fifo);
    EXPECT_EQ(opening.get(), expected) << c.Mode;
  }
  std::filesystem::remove(fifo);
}

TEST(FileStream, WritesAndReadsBack) {
  const auto path = TempPath("tarvelin-stream-test.bin").string();
  {
    TFileStream out(path, fmCreate);
    out.WriteBuffer("abcdef", 6);
  }
  TFileStream in(path, fmOpenRead);
  EXPECT_EQ(in.GetSize(), 6);
  in.Seek(-2, TSeekOrigin::soEnd);
  char tail[2];
  in.ReadBuffer(tail, 2);
  EXPECT_EQ(std::string(tail, 2), "ef");
  EXPECT_THROW(in.ReadBuffer(tail, 1), EReadError);
  std::filesystem::remove(path);
}

TEST(Assert, ThrowsWithItsMessage) {
  EXPECT_NO_THROW(Assert(true, "never"));
  try {
    Assert(false, "TZrDIB.UniqueDIB: InternalDIB Should not be Nil");
    FAIL();
  } catch (const EAssertionFailed& e) {
    EXPECT_STREQ(e.what(), "TZrDIB.UniqueDIB: InternalDIB Should not be Nil");
  }
}

}  // namespace
