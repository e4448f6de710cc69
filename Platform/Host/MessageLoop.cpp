#include "Platform/Host/MessageLoop.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <limits>
#include <mutex>
#include <vector>

#include "Platform/Window/EventSource.h"
#include "Platform/Window/Input.h"
#include "Platform/Window/VideoBackend.h"

namespace QZ::Platform::Host {

using namespace Window;

namespace {

struct Timer {
  HWND hwnd = nullptr;
  uintptr_t id = 0;
  uint32_t period = 0;
  uint64_t due = 0;
};

struct Queue {
  std::mutex lock; // guards posted, quitPending and quitCode
  std::deque<MSG> posted;
  bool quitPending = false;
  int32_t quitCode = 0;
  // Whether a posted message or the quit waits; lets the UI thread skip the lock while
  // neither does (set under the lock, after the post).
  std::atomic<bool> waiting{false};

  InputQueue input;          // UI thread
  std::vector<Timer> timers; // UI thread
};

Queue gQueue;

Queue& GetQueue() { return gQueue; }

void Reset(Queue& queue) {
  while (!queue.input.empty()) {
    DiscardInput(queue.input.front());
    queue.input.pop_front();
  }
  queue.timers.clear();
  std::lock_guard hold(queue.lock);
  queue.posted.clear();
  queue.quitPending = false;
  queue.quitCode = 0;
  queue.waiting = false;
}

// Gives a message the time `now` and the cursor position.
MSG& Stamped(MSG& msg, uint64_t now) {
  msg.time = uint32_t(now);
  msg.pt = GetLastCursorPosition();
  return msg;
}

MSG Made(HWND hwnd, uint32_t message, WPARAM wParam, uint64_t now) {
  MSG msg;
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  return Stamped(msg, now);
}

// The due timer that is late the longest, dropping due timers whose window is gone (a
// gone window's timer is looked at only once due: asking after a window takes the
// layer's lock); null when none is due.
Timer* DueTimer(Queue& queue, uint64_t now) {
  for (;;) {
    Timer* due = nullptr;
    for (Timer& timer : queue.timers) {
      if (timer.due <= now && (!due || timer.due < due->due)) {
        due = &timer;
      }
    }
    if (!due || !due->hwnd || IsWindow(due->hwnd)) {
      return due;
    }
    queue.timers.erase(queue.timers.begin() + (due - queue.timers.data()));
  }
}

// Milliseconds until the next timer is due; -1 without timers.
int32_t UntilNextTimer(const Queue& queue, uint64_t now) {
  if (queue.timers.empty()) {
    return -1;
  }
  uint64_t next = std::numeric_limits<uint64_t>::max();
  for (const Timer& timer : queue.timers) {
    next = std::min(next, timer.due);
  }
  return next <= now ? 0 : int32_t(std::min<uint64_t>(next - now, std::numeric_limits<int32_t>::max()));
}

// Inline in GetMessage and PeekMessage: each turn of a loop takes one message, and the two
// calls a turn would make become one, with the constant arguments folded.
[[gnu::always_inline]] inline bool Next(MSG& out, bool remove, bool wait) {
  Queue& queue = GetQueue();
  for (;;) {
    // One clock read a turn at most: it stamps what the turn takes and tells the due timers;
    // input taken from SDL carries SDL's time and needs none.
    TurnClock clock;
    if (queue.waiting.load(std::memory_order_acquire)) {
      std::lock_guard hold(queue.lock);
      if (!queue.posted.empty()) {
        out = queue.posted.front();
        Stamped(out, clock.Now());
        if (remove) {
          queue.posted.pop_front();
        }
        queue.waiting = !queue.posted.empty() || queue.quitPending;
        return true;
      }
      if (queue.quitPending) {
        queue.quitPending = !remove;
        queue.waiting = queue.quitPending;
        out = Made(nullptr, WM_QUIT, WPARAM(queue.quitCode), clock.Now());
        return true;
      }
    }
    if (NextInput(queue.input, out, remove, clock)) {
      return true;
    }
    if (HWND hwnd = FindWindowToPaint()) {
      out = Made(hwnd, WM_PAINT, 0, clock.Now());
      return true;
    }
    const uint64_t now = clock.Now();
    if (Timer* timer = DueTimer(queue, now)) {
      out = Made(timer->hwnd, WM_TIMER, timer->id, now);
      if (remove) {
        timer->due += timer->period;
        if (timer->due <= now) {
          timer->due = now + timer->period;
        }
      }
      return true;
    }
    if (!wait) {
      return false;
    }
    // Taking input above may have taken the wake-up of a post made after the posted
    // messages were looked at; waiting now would leave that post until some other event.
    if (queue.waiting.load(std::memory_order_acquire)) {
      continue;
    }
    WaitInput(queue.input, UntilNextTimer(queue, now));
  }
}

bool Post(const MSG& msg) {
  Queue& queue = GetQueue();
  {
    std::lock_guard hold(queue.lock);
    queue.posted.push_back(msg);
    queue.waiting = true;
  }
  RequestWake();
  return true;
}

} // namespace

bool Startup() {
  if (!Window::Startup()) {
    return false;
  }
  Reset(GetQueue());
  return true;
}

bool Startup(std::unique_ptr<VideoBackend> backend) {
  if (!Window::Startup(std::move(backend))) {
    return false;
  }
  Reset(GetQueue());
  return true;
}

void Shutdown() {
  if (!IsUiThread()) {
    return;
  }
  Reset(GetQueue());
  Window::Shutdown();
}

void ReadWindowSystemEvents() {
  if (IsUiThread()) {
    ReadAllInput(GetQueue().input);
  }
}

int32_t GetMessage(MSG* msg) {
  if (!msg || !IsUiThread()) {
    return -1;
  }
  Next(*msg, true, true);
  return msg->message == WM_QUIT ? 0 : 1;
}

bool PeekMessage(MSG* msg, uint32_t options) {
  return msg && IsUiThread() && Next(*msg, (options & PM_REMOVE) != 0, false);
}

namespace {

// Queues the control character a key down types, if any. Out of line: most messages are
// not key downs, and their translation should not pay for this one's frame.
[[gnu::noinline]] void QueueControlCharacter(const MSG& msg) {
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0;
  const WPARAM key = msg.wParam;
  char16_t character = 0;
  switch (key) {
  case VK_BACK:
    character = ctrl ? 0x7F : 0x08;
    break;
  case VK_TAB:
    character = ctrl ? 0 : 0x09;
    break;
  case VK_RETURN:
    character = ctrl ? 0x0A : 0x0D;
    break;
  case VK_ESCAPE:
    character = 0x1B;
    break;
  case VK_OEM_4:
  case VK_OEM_5:
  case VK_OEM_6:
    character = ctrl ? char16_t(0x1B + (key - VK_OEM_4)) : 0;
    break;
  default:
    character = ctrl && key >= 'A' && key <= 'Z' ? char16_t(key - 'A' + 1) : 0;
    break;
  }
  if (character != 0 && !(ctrl && alt)) {
    InputMessage typed;
    typed.msg = msg;
    typed.msg.message = msg.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    typed.msg.wParam = character;
    GetQueue().input.push_front(typed);
  }
}

} // namespace

bool TranslateMessage(const MSG* msg) {
  if (!msg) {
    return false;
  }
  switch (msg->message) {
  case WM_KEYUP:
  case WM_SYSKEYUP:
    return true;
  case WM_KEYDOWN:
  case WM_SYSKEYDOWN:
    if (!IsUiThread()) {
      return false;
    }
    QueueControlCharacter(*msg);
    return true;
  default:
    return false;
  }
}

LRESULT DispatchMessage(const MSG* msg) {
  if (!msg || !msg->hwnd) {
    return 0;
  }
  return SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

bool PostMessage(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam) {
  if (!IsStarted() || (hwnd && !IsWindow(hwnd))) {
    return false;
  }
  MSG msg;
  msg.hwnd = hwnd;
  msg.message = message;
  msg.wParam = wParam;
  msg.lParam = lParam;
  return Post(msg);
}

bool PostThreadMessage(uint32_t message, WPARAM wParam, LPARAM lParam) {
  return PostMessage(nullptr, message, wParam, lParam);
}

void PostQuitMessage(int32_t exitCode) {
  Queue& queue = GetQueue();
  if (!IsStarted()) {
    return;
  }
  {
    std::lock_guard hold(queue.lock);
    queue.quitPending = true;
    queue.quitCode = exitCode;
    queue.waiting = true;
  }
  RequestWake();
}

uintptr_t SetTimer(HWND hwnd, uintptr_t id, uint32_t elapseMs) {
  Queue& queue = GetQueue();
  if (!IsUiThread() || id == 0 || (hwnd && !IsWindow(hwnd))) {
    return 0;
  }
  constexpr uint32_t kMinimumPeriod = 10;
  const uint32_t period = std::max(elapseMs, kMinimumPeriod);
  const uint64_t due = GetTickCount64() + period;
  auto found = std::find_if(queue.timers.begin(), queue.timers.end(),
                            [&](const Timer& timer) { return timer.hwnd == hwnd && timer.id == id; });
  if (found != queue.timers.end()) {
    *found = {hwnd, id, period, due};
  } else {
    queue.timers.push_back({hwnd, id, period, due});
  }
  return id;
}

bool KillTimer(HWND hwnd, uintptr_t id) {
  Queue& queue = GetQueue();
  return IsUiThread() &&
         std::erase_if(queue.timers, [&](const Timer& timer) { return timer.hwnd == hwnd && timer.id == id; }) > 0;
}

} // namespace QZ::Platform::Host
