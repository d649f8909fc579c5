// A test of a detector object that reaches its private members through the test peer.
#pragma once

#include "tests/support/test_peer.h"

#include <gtest/gtest.h>

class PeerTest : public testing::Test {
 protected:
  TEVCustomFS detector;
  TEVCustomFSTestPeer peer{detector};
};
