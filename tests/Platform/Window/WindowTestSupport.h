#pragma once
// The window layer over the scripted backend, and a window procedure that records what
// it gets.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Platform/Window/EventTranslator.h"
#include "Platform/Window/Window.h"
#include "Support/ScriptedVideoBackend.h"

namespace QZTest {

namespace Win = QZ::Platform::Window;

struct Received {
  Win::HWND hwnd;
  uint32_t message;
  Win::WPARAM wParam;
  Win::LPARAM lParam;
};

class RecordingProcedure : public Win::WindowProcedure {
public:
  Win::LRESULT WindowProc(Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) override {
    received.push_back({hwnd, message, wParam, lParam});
    return 0;
  }
  // The messages received, in order.
  std::vector<uint32_t> Messages() const {
    std::vector<uint32_t> messages;
    for (const Received& one : received) {
      messages.push_back(one.message);
    }
    return messages;
  }
  std::vector<Received> received;
};

class WindowLayerTest : public ::testing::Test {
protected:
  void SetUp() override {
    auto backend = std::make_unique<ScriptedVideoBackend>();
    script = backend.get();
    ASSERT_TRUE(Win::Startup(std::move(backend)));
  }
  void TearDown() override { Win::Shutdown(); }

  // A visible captioned window at client (x, y) of the given size.
  Win::HWND MakeWindow(int x = 100, int y = 50, int width = 200, int height = 100, Win::HWND owner = nullptr,
                       Win::WindowProcedure* procedure = nullptr) {
    return Win::CreateWindowEx(0, u"test", Win::WS_CAPTION | Win::WS_VISIBLE, x, y, width, height, owner,
                               procedure ? procedure : &recorder);
  }

  // What one event becomes.
  std::vector<Win::InputMessage> Translate(SDL_Event event) {
    Win::InputQueue out;
    Win::TranslateEvent(event, out);
    std::vector<Win::InputMessage> messages;
    for (size_t i = 0; i < out.size(); ++i) {
      messages.push_back(out[i]);
    }
    return messages;
  }
  // What one event becomes, each message taken from the queue (its key-state change
  // applied) in turn.
  std::vector<Win::InputMessage> TranslateAndTake(SDL_Event event) {
    Win::InputQueue queue;
    Win::TranslateEvent(event, queue);
    std::vector<Win::InputMessage> taken;
    Win::MSG msg;
    while (Win::NextInput(queue, msg, true)) {
      taken.push_back({msg, {}});
    }
    return taken;
  }

  ScriptedVideoBackend* script = nullptr;
  RecordingProcedure recorder;
};

} // namespace QZTest
