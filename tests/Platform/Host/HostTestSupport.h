#pragma once
// The message queue over the scripted backend, and a window procedure that records what
// it gets (with the key state at that moment) and may act on it.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/Input.h"
#include "Support/ScriptedVideoBackend.h"

namespace QZTest {

namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;

struct Delivered {
  Win::HWND hwnd;
  uint32_t message;
  Win::WPARAM wParam;
  Win::LPARAM lParam;
  bool controlDown; // GetKeyState(VK_CONTROL) as the message arrived
};

class HookedWindow : public Win::WindowProcedure {
public:
  Win::LRESULT WindowProc(Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) override {
    delivered.push_back({hwnd, message, wParam, lParam, Win::GetKeyState(Win::VK_CONTROL) < 0});
    if (hook) {
      return hook(hwnd, message, wParam, lParam);
    }
    return Win::DefWindowProc(hwnd, message, wParam, lParam);
  }
  std::vector<uint32_t> Messages() const {
    std::vector<uint32_t> messages;
    for (const Delivered& one : delivered) {
      messages.push_back(one.message);
    }
    return messages;
  }
  std::vector<Delivered> delivered;
  std::function<Win::LRESULT(Win::HWND, uint32_t, Win::WPARAM, Win::LPARAM)> hook;
};

class MessageQueueTest : public ::testing::Test {
protected:
  void SetUp() override {
    auto backend = std::make_unique<ScriptedVideoBackend>();
    script = backend.get();
    ASSERT_TRUE(Host::Startup(std::move(backend)));
    hwnd = Win::CreateWindowEx(0, u"test", Win::WS_CAPTION | Win::WS_VISIBLE, 100, 50, 200, 100, nullptr, &window);
    ASSERT_NE(hwnd, nullptr);
    id = script->SdlIdOf(hwnd);
    Win::ValidateRect(hwnd, nullptr);
  }
  void TearDown() override { Host::Shutdown(); }

  // Takes and dispatches every message waiting, without waiting; answers what was taken.
  std::vector<Win::MSG> Pump() {
    std::vector<Win::MSG> taken;
    Win::MSG msg;
    while (Host::PeekMessage(&msg, Win::PM_REMOVE)) {
      taken.push_back(msg);
      if (msg.message == Win::WM_QUIT) {
        break;
      }
      Host::TranslateMessage(&msg);
      Host::DispatchMessage(&msg);
    }
    return taken;
  }
  static std::vector<uint32_t> MessagesOf(const std::vector<Win::MSG>& taken) {
    std::vector<uint32_t> messages;
    for (const Win::MSG& msg : taken) {
      messages.push_back(msg.message);
    }
    return messages;
  }

  ScriptedVideoBackend* script = nullptr;
  HookedWindow window;
  Win::HWND hwnd = nullptr;
  uint32_t id = 0;
};

} // namespace QZTest
