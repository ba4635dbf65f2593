#include "platform/x11/PointerWatch.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>
#include <xcb/randr.h>
#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

#include "platform/x11/XcbReply.h"

namespace zintrel::platform {
namespace {

constexpr const char* kThreadName = "zintrel-pointer";

bool HasXInput2(xcb_connection_t* conn) {
  const xcb_query_extension_reply_t* xi = xcb_get_extension_data(conn, &xcb_input_id);
  if (xi == nullptr || !xi->present) return false;
  Reply<xcb_input_xi_query_version_reply_t> version(
      xcb_input_xi_query_version_reply(conn, xcb_input_xi_query_version(conn, 2, 2), nullptr));
  return version && version->major_version >= 2;
}

}  // namespace

struct PointerWatch::Impl {
  xcb_connection_t* conn = nullptr;
  std::uint8_t xinputOpcode = 0;
  std::uint8_t randrFirstEvent = 0;
  bool hasRandr = false;
  int stopPipe[2] = {-1, -1};
  Handlers handlers;
  std::chrono::milliseconds quietPeriod{0};
  std::thread thread;

  ~Impl() {
    if (thread.joinable()) {
      const char byte = 0;
      [[maybe_unused]] const ssize_t n = ::write(stopPipe[1], &byte, 1);
      thread.join();
    }
    for (const int fd : stopPipe) {
      if (fd >= 0) ::close(fd);
    }
    if (conn != nullptr) xcb_disconnect(conn);
  }

  bool Relevant(const xcb_generic_event_t& ev) const {
    const int type = ev.response_type & 0x7f;
    if (type == XCB_GE_GENERIC) {
      const auto& ge = reinterpret_cast<const xcb_ge_generic_event_t&>(ev);
      return ge.extension == xinputOpcode && ge.event_type == XCB_INPUT_RAW_MOTION;
    }
    return hasRandr && (type == randrFirstEvent + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
                        type == randrFirstEvent + XCB_RANDR_NOTIFY);
  }

  void Run() {
    pthread_setname_np(pthread_self(), kThreadName);
    pollfd fds[2] = {{xcb_get_file_descriptor(conn), POLLIN, 0}, {stopPipe[0], POLLIN, 0}};
    auto quietDue = std::chrono::steady_clock::now() + quietPeriod;
    for (;;) {
      // Events xcb has already read off the socket come first.
      bool changed = false;
      while (xcb_generic_event_t* ev = xcb_poll_for_event(conn)) {
        changed = changed || Relevant(*ev);
        std::free(ev);
      }
      if (xcb_connection_has_error(conn) != 0) {
        handlers.lost();
        return;
      }
      if (changed) handlers.changed();
      const auto now = std::chrono::steady_clock::now();
      if (now >= quietDue) {
        handlers.quiet();
        quietDue = now + quietPeriod;
      }
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(quietDue - now);
      fds[0].revents = fds[1].revents = 0;
      if (::poll(fds, 2, static_cast<int>(wait.count())) < 0 && errno != EINTR) {
        handlers.lost();
        return;
      }
      if (fds[1].revents != 0) return;
    }
  }
};

PointerWatch::PointerWatch(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
PointerWatch::~PointerWatch() = default;

std::unique_ptr<PointerWatch> PointerWatch::Start(const char* display, Handlers handlers,
                                                  std::chrono::milliseconds quietPeriod) {
  auto impl = std::make_unique<Impl>();
  int screenNumber = 0;
  impl->conn = xcb_connect(display, &screenNumber);
  if (xcb_connection_has_error(impl->conn) != 0 || !HasXInput2(impl->conn)) return nullptr;
  auto it = xcb_setup_roots_iterator(xcb_get_setup(impl->conn));
  for (int i = 0; it.rem > 0 && i < screenNumber; ++i) xcb_screen_next(&it);
  if (it.rem == 0) return nullptr;
  const xcb_window_t root = it.data->root;

  impl->xinputOpcode = xcb_get_extension_data(impl->conn, &xcb_input_id)->major_opcode;
  struct {
    xcb_input_event_mask_t head;
    std::uint32_t bits;
  } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1}, XCB_INPUT_XI_EVENT_MASK_RAW_MOTION};
  xcb_void_cookie_t selected = xcb_input_xi_select_events_checked(impl->conn, root, 1, &mask.head);
  if (xcb_generic_error_t* err = xcb_request_check(impl->conn, selected)) {
    std::free(err);
    return nullptr;
  }

  const xcb_query_extension_reply_t* randr = xcb_get_extension_data(impl->conn, &xcb_randr_id);
  if (randr != nullptr && randr->present) {
    Reply<xcb_randr_query_version_reply_t> version(xcb_randr_query_version_reply(
        impl->conn, xcb_randr_query_version(impl->conn, 1, 5), nullptr));
    if (version) {
      impl->hasRandr = true;
      impl->randrFirstEvent = randr->first_event;
      xcb_randr_select_input(
          impl->conn, root,
          XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
              XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE | XCB_RANDR_NOTIFY_MASK_RESOURCE_CHANGE);
    }
  }
  xcb_flush(impl->conn);
  if (xcb_connection_has_error(impl->conn) != 0) return nullptr;
  if (::pipe2(impl->stopPipe, O_CLOEXEC) != 0) return nullptr;

  impl->handlers = std::move(handlers);
  impl->quietPeriod = quietPeriod;
  Impl* raw = impl.get();
  impl->thread = std::thread([raw] { raw->Run(); });
  return std::unique_ptr<PointerWatch>(new PointerWatch(std::move(impl)));
}

}  // namespace zintrel::platform
