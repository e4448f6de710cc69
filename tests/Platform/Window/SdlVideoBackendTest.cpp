// SDL's own backend takes SDL's queue in batches: its events come out in the order SDL
// queued them, whichever way they are taken, none lost and none given twice.

#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <vector>

#include "Platform/Window/VideoBackend.h"

namespace QZTest {
namespace {

using QZ::Platform::Window::SdlVideoBackend;

class SdlVideoBackendQueueTest : public ::testing::Test {
protected:
  void SetUp() override {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ASSERT_TRUE(backend.Init());
    type = backend.RegisterEventType();
    ASSERT_NE(type, 0u);
  }
  void TearDown() override { backend.Quit(); }

  void Post(int32_t code) {
    SDL_Event event{};
    event.type = type;
    event.user.code = code;
    ASSERT_TRUE(backend.PushEvent(event));
  }
  // The code of the next of the test's events a way of taking gives (SDL's own events are
  // passed over); -1 when it gives none.
  template <typename Take>
  int32_t Next(Take take) {
    for (SDL_Event event; take(event);) {
      if (event.type == type) {
        return event.user.code;
      }
    }
    return -1;
  }
  int32_t Taken() {
    return Next([this](SDL_Event& event) { return backend.TakeQueuedEvent(event); });
  }

  SdlVideoBackend backend;
  uint32_t type = 0;
};

TEST_F(SdlVideoBackendQueueTest, WhatABatchLeavesComesFirstToEveryWayOfTaking) {
  constexpr int32_t kQueued = 10; // more than one batch
  for (int32_t code = 0; code < kQueued; ++code) {
    Post(code);
  }
  EXPECT_EQ(Taken(), 0);
  Post(kQueued); // behind what the batch holds
  EXPECT_EQ(Next([this](SDL_Event& event) { return backend.PollEvent(event); }), 1);
  EXPECT_EQ(Next([this](SDL_Event& event) { return backend.WaitEventTimeout(event, 0); }), 2);
  std::vector<int32_t> rest;
  for (int32_t code = Taken(); code != -1; code = Taken()) {
    rest.push_back(code);
  }
  EXPECT_EQ(rest, (std::vector<int32_t>{3, 4, 5, 6, 7, 8, 9, 10}));
  SDL_Event event;
  EXPECT_FALSE(backend.PollEvent(event));
}

TEST_F(SdlVideoBackendQueueTest, QuitDropsWhatABatchStillHolds) {
  Post(0);
  Post(1);
  EXPECT_EQ(Taken(), 0);
  backend.Quit();
  ASSERT_TRUE(backend.Init());
  type = backend.RegisterEventType();
  EXPECT_EQ(Taken(), -1) << "an event of the ended session";
}

} // namespace
} // namespace QZTest
