#include "ports/call_deadline.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace ccp {
namespace {

// A read from an empty socket waits; the guard makes it fail with EINTR, as it does a PPCLAIM
// on a port another program holds. Should the guard fail, the socket's own time limit ends the
// read after 2 s with EAGAIN.
TEST(CallDeadline, EndsABlockingCallWithEintr) {
  int ends[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
  const timeval limit{2, 0};
  ASSERT_EQ(setsockopt(ends[0], SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit), 0);
  char byte = 0;
  ssize_t got = 0;
  int error = 0;
  {
    CallDeadline deadline(std::chrono::milliseconds(5));
    got = read(ends[0], &byte, 1);
    error = errno;
  }
  EXPECT_EQ(got, -1);
  EXPECT_EQ(error, EINTR) << "the read was not interrupted";

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
