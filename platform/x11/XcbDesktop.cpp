#include "platform/x11/XcbDesktop.h"

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <optional>

#include "platform/x11/DisplayError.h"
#include "platform/x11/PrimaryMonitor.h"
#include "platform/x11/StderrCapture.h"
#include "platform/x11/XcbReply.h"

namespace zintrel::platform {
namespace {

// The primary monitor's origin is cached so that a cursor read costs one
// round trip. RandR tells us about output, CRTC and screen changes; monitors
// that a user defines by hand (RRSetMonitor) change without any event, so the
// cache is also re-read at most this long after it was last read.
constexpr std::int64_t kOriginMaxAgeNs = 100'000'000;

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::int16_t ClampToInt16(std::int64_t v) {
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(v, INT16_MIN, INT16_MAX));
}

xcb_screen_t* ScreenOf(xcb_connection_t* conn, int number) {
  auto it = xcb_setup_roots_iterator(xcb_get_setup(conn));
  for (int i = 0; it.rem > 0; xcb_screen_next(&it), ++i) {
    if (i == number) return it.data;
  }
  return nullptr;
}

}  // namespace

struct XcbDesktop::Impl {
  // One caller at a time waits for the server. xcb itself is thread-safe, but
  // libxcb 1.15 spins forever (holding its own lock) when the connection
  // breaks while two threads wait for replies: a reader that is not first in
  // its wait list is never found. Calls take tens of microseconds and
  // pollers sleep a millisecond between them, so the lock is rarely contended.
  std::mutex roundTrip;
  // The members below are used under roundTrip only.
  xcb_connection_t* conn = nullptr;
  std::string displayName;  // set once, before any other thread sees us
  xcb_window_t root = XCB_NONE;
  bool hasMonitors = false;  // RandR 1.5 or later
  std::uint8_t randrFirstEvent = 0;
  Point origin;                  // the primary monitor's top-left on the root
  std::int64_t originDueNs = 0;  // when the cached origin must be read again
  bool answerFromKnown = false;
  bool knownValid = false;
  Point knownRoot;                // the pointer on the root, as last learnt
  std::uint64_t knownSerial = 0;  // pointerSerial when it was learnt
  // Read without the lock by waiters.
  std::atomic<std::uint64_t> pointerSerial{0};
  std::atomic<std::uint64_t> layoutSerial{0};

  ~Impl() {
    if (conn != nullptr) xcb_disconnect(conn);
  }

  void SetOrigin(const std::optional<MonitorRect>& primary) {
    const Point next = primary ? Point{primary->x, primary->y} : Point{};
    if (next != origin) {
      layoutSerial.fetch_add(1);
      pointerSerial.fetch_add(1);
    }
    origin = next;
  }

  // One round trip for the pointer (and the monitors, when due). The serial
  // is read before the request, so motion that comes during it makes the
  // next read ask again.
  bool QueryPointer(Point& root) {
    const std::uint64_t serial = pointerSerial.load();
    const bool refresh = hasMonitors && ClaimRefresh();
    const xcb_query_pointer_cookie_t pointerCookie = xcb_query_pointer(conn, this->root);
    xcb_randr_get_monitors_cookie_t monitorsCookie{};
    if (refresh) monitorsCookie = xcb_randr_get_monitors(conn, this->root, 1);

    xcb_generic_error_t* err = nullptr;
    Reply<xcb_query_pointer_reply_t> pointer(xcb_query_pointer_reply(conn, pointerCookie, &err));
    std::free(err);
    if (refresh) StoreOrigin(xcb_randr_get_monitors_reply(conn, monitorsCookie, nullptr));
    // A monitor change that reached us before the pointer's answer: the
    // cached origin may predate it.
    if (hasMonitors && DrainEvents()) RefreshOrigin();
    if (!pointer) return false;
    root = {pointer->root_x, pointer->root_y};
    Learn(root, serial);
    return true;
  }

  void Learn(Point root, std::uint64_t serial) {
    knownRoot = root;
    knownSerial = serial;
    knownValid = true;
  }

  // Takes a GetMonitors reply (nullptr: the request failed) into the cache.
  void StoreOrigin(xcb_randr_get_monitors_reply_t* reply) {
    Reply<xcb_randr_get_monitors_reply_t> r(reply);
    if (r) SetOrigin(FindPrimary(*r.p));
  }

  void RefreshOrigin() {
    originDueNs = NowNs() + kOriginMaxAgeNs;
    StoreOrigin(xcb_randr_get_monitors_reply(conn, xcb_randr_get_monitors(conn, root, 1), nullptr));
  }

  // True when the cached origin is due to be read again (and counts it as
  // read from now on).
  bool ClaimRefresh() {
    const std::int64_t now = NowNs();
    if (now < originDueNs) return false;
    originDueNs = now + kOriginMaxAgeNs;
    return true;
  }

  // Takes what the server has already sent us off xcb's queue without a
  // system call. True when a RandR event was among it.
  bool DrainEvents() {
    bool randr = false;
    while (xcb_generic_event_t* ev = xcb_poll_for_queued_event(conn)) {
      const int type = ev->response_type & 0x7f;
      randr = randr || type == randrFirstEvent + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
              type == randrFirstEvent + XCB_RANDR_NOTIFY;
      std::free(ev);
    }
    return randr;
  }

  Point CurrentOrigin() {
    if (!hasMonitors) return {};
    if (DrainEvents() || ClaimRefresh()) RefreshOrigin();
    return origin;
  }
};

XcbDesktop::XcbDesktop(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
XcbDesktop::~XcbDesktop() = default;

std::unique_ptr<XcbDesktop> XcbDesktop::Connect(const char* display, std::string& error) {
  const char* name = display != nullptr ? display : std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') {
    error = DescribeDisplayError(name, 0, 0);
    return nullptr;
  }

  auto impl = std::make_unique<Impl>();
  impl->displayName = name;
  int screenNumber = 0;
  int savedErrno = 0;
  std::string serverSaid;
  {
    // A server that turns us away gives its reason, which libxcb writes to
    // stderr; it belongs in our one-line error.
    StderrCapture capture;
    errno = 0;
    impl->conn = xcb_connect(name, &screenNumber);
    savedErrno = errno;
    serverSaid = capture.Finish();
  }
  if (const int failure = xcb_connection_has_error(impl->conn)) {
    error = DescribeDisplayError(name, failure, savedErrno, serverSaid);
    return nullptr;
  }
  if (!serverSaid.empty()) std::fprintf(stderr, "%s\n", serverSaid.c_str());
  const xcb_screen_t* screen = ScreenOf(impl->conn, screenNumber);
  if (screen == nullptr) {
    error = DescribeDisplayError(name, XCB_CONN_CLOSED_INVALID_SCREEN, 0);
    return nullptr;
  }
  impl->root = screen->root;

  const xcb_query_extension_reply_t* randr = xcb_get_extension_data(impl->conn, &xcb_randr_id);
  if (randr != nullptr && randr->present) {
    Reply<xcb_randr_query_version_reply_t> version(xcb_randr_query_version_reply(
        impl->conn, xcb_randr_query_version(impl->conn, 1, 5), nullptr));
    impl->hasMonitors = version && (version->major_version > 1 ||
                                    (version->major_version == 1 && version->minor_version >= 5));
  }
  if (impl->hasMonitors) {
    impl->randrFirstEvent = randr->first_event;
    xcb_randr_select_input(impl->conn, impl->root,
                           XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE | XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                               XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE);
    impl->RefreshOrigin();
  }
  if (const int failure = xcb_connection_has_error(impl->conn)) {
    error = DescribeDisplayError(name, failure, 0);
    return nullptr;
  }
  return std::unique_ptr<XcbDesktop>(new XcbDesktop(std::move(impl)));
}

bool XcbDesktop::GetCursorPos(Point& out) {
  Impl& d = *impl_;
  const std::lock_guard lock(d.roundTrip);
  Point root;
  if (d.answerFromKnown && d.knownValid && d.pointerSerial.load() == d.knownSerial) {
    root = d.knownRoot;
  } else if (!d.QueryPointer(root)) {
    return false;
  }
  out = {root.x - d.origin.x, root.y - d.origin.y};
  return true;
}

std::uint64_t XcbDesktop::PointerSerial() const { return impl_->pointerSerial.load(); }

std::uint64_t XcbDesktop::LayoutSerial() const { return impl_->layoutSerial.load(); }

void XcbDesktop::AnswerFromKnownPosition() {
  const std::lock_guard lock(impl_->roundTrip);
  impl_->answerFromKnown = true;
}

void XcbDesktop::AnswerByAsking() {
  const std::lock_guard lock(impl_->roundTrip);
  impl_->answerFromKnown = false;
}

void XcbDesktop::NoteChange() { impl_->pointerSerial.fetch_add(1); }

bool XcbDesktop::Recheck() {
  Impl& d = *impl_;
  const std::lock_guard lock(d.roundTrip);
  const bool wasValid = d.knownValid;
  const Point wasRoot = d.knownRoot;
  const std::uint64_t layout = d.layoutSerial.load();
  Point root;
  if (!d.QueryPointer(root)) return false;
  if ((wasValid && root == wasRoot) && layout == d.layoutSerial.load()) return false;
  // The position just learnt stays valid: only readers that had the old
  // one need to look again.
  d.knownSerial = d.pointerSerial.fetch_add(1) + 1;
  return true;
}

bool XcbDesktop::SetCursorPos(std::int32_t x, std::int32_t y) {
  Impl& d = *impl_;
  const std::lock_guard lock(d.roundTrip);
  const Point origin = d.CurrentOrigin();
  // X coordinates are 16 bits; clamping keeps a far-off target on the
  // nearest edge instead of wrapping around.
  const std::int16_t rootX = ClampToInt16(std::int64_t{x} + origin.x);
  const std::int16_t rootY = ClampToInt16(std::int64_t{y} + origin.y);
  const xcb_void_cookie_t cookie =
      xcb_warp_pointer_checked(d.conn, XCB_NONE, d.root, 0, 0, 0, 0, rootX, rootY);
  // Where the server put the pointer (it keeps it on the screen), asked in
  // the same round trip as the warp's answer.
  const xcb_query_pointer_cookie_t pointerCookie = xcb_query_pointer(d.conn, d.root);
  // Waits for the server's answer, so the pointer has moved when we return.
  xcb_generic_error_t* warpError = xcb_request_check(d.conn, cookie);
  xcb_generic_error_t* queryError = nullptr;
  Reply<xcb_query_pointer_reply_t> pointer(
      xcb_query_pointer_reply(d.conn, pointerCookie, &queryError));
  std::free(queryError);
  // Everyone else who read the pointer must look again; this is the new
  // known position.
  const std::uint64_t serial = d.pointerSerial.fetch_add(1) + 1;
  if (pointer) {
    d.Learn({pointer->root_x, pointer->root_y}, serial);
  } else {
    d.knownValid = false;
  }
  if (warpError != nullptr) {
    std::free(warpError);
    return false;
  }
  return xcb_connection_has_error(d.conn) == 0;
}

ScreenSize XcbDesktop::GetPrimaryScreenSize() {
  Impl& d = *impl_;
  const std::lock_guard lock(d.roundTrip);
  xcb_randr_get_monitors_cookie_t monitorsCookie{};
  if (d.hasMonitors) monitorsCookie = xcb_randr_get_monitors(d.conn, d.root, 1);
  const xcb_get_geometry_cookie_t geometryCookie = xcb_get_geometry(d.conn, d.root);

  std::optional<MonitorRect> primary;
  if (d.hasMonitors) {
    Reply<xcb_randr_get_monitors_reply_t> monitors(
        xcb_randr_get_monitors_reply(d.conn, monitorsCookie, nullptr));
    if (monitors) {
      primary = FindPrimary(*monitors.p);
      d.SetOrigin(primary);
      d.originDueNs = NowNs() + kOriginMaxAgeNs;
    }
  }
  xcb_generic_error_t* err = nullptr;
  Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(d.conn, geometryCookie, &err));
  std::free(err);
  if (primary) return {primary->width, primary->height};
  if (geometry) return {geometry->width, geometry->height};
  return {};
}

bool XcbDesktop::ConnectionLost() const {
  // xcb keeps the error state itself, thread-safely.
  return xcb_connection_has_error(impl_->conn) != 0;
}

const std::string& XcbDesktop::DisplayName() const { return impl_->displayName; }

}  // namespace zintrel::platform
