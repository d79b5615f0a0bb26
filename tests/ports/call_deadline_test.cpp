#include "ports/call_deadline.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

#include "rescue.h"

namespace ccp {
namespace {

// A read from an empty pipe would wait for ever; the guard makes it fail with EINTR, as it
// does a PPCLAIM on a port another program holds.
TEST(CallDeadline, EndsABlockingCallWithEintr) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  char byte = 0;
  ssize_t got = 0;
  int error = 0;
  {
    // Should the guard not end the read, a byte does, and the test fails at once.
    const test::Rescue rescue(std::chrono::seconds(2), [&] { (void)!write(ends[1], "r", 1); });
    CallDeadline deadline(std::chrono::milliseconds(5));
    got = read(ends[0], &byte, 1);
    error = errno;
  }
  EXPECT_EQ(got, -1) << "the read was not interrupted";
  EXPECT_EQ(error, EINTR);

  // A call that returns in time is left alone.
  ASSERT_EQ(write(ends[1], "x", 1), 1);
  {
    CallDeadline deadline(std::chrono::milliseconds(1000));
    EXPECT_EQ(read(ends[0], &byte, 1), 1);
  }
  EXPECT_EQ(byte, 'x');
  close(ends[0]);
  close(ends[1]);
}

}  // namespace
}  // namespace ccp
