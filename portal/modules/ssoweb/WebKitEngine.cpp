// SSOWebEngine: the browser module's page engine on WebKitGTK.
//
// Each page is a web view in an offscreen GTK window; the client composes
// its pixels into its own windows and hands its input over. Nothing here
// runs a main loop of its own: the client pumps the GLib main context from
// its event loop (Pump), and pixels are copied only after the toolkit
// reported damage. The toolkit starts with the first page; the shared web
// context (and with it the web and network processes) goes with the last.

#include "WebEngine.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace tovrik::ssoweb {
namespace {

constexpr const char* kExternalHandler = "tovrikExternal";
constexpr const char* kCloseHandler = "tovrikClose";

// Modifier bits of IWebPage::Mouse and Key.
constexpr unsigned kShift = 0x1, kControl = 0x2, kAlt = 0x4, kLeftHeld = 0x100, kRightHeld = 0x400;

void Warn(const std::string& text) { std::fprintf(stderr, "SSOWebEngine: %s\n", text.c_str()); }

guint32 Now() { return static_cast<guint32>(g_get_monotonic_time() / 1000); }

GdkModifierType GdkState(unsigned modifiers) {
  unsigned state = 0;
  if (modifiers & kShift) state |= GDK_SHIFT_MASK;
  if (modifiers & kControl) state |= GDK_CONTROL_MASK;
  if (modifiers & kAlt) state |= GDK_MOD1_MASK;
  if (modifiers & kLeftHeld) state |= GDK_BUTTON1_MASK;
  if (modifiers & kRightHeld) state |= GDK_BUTTON3_MASK;
  return static_cast<GdkModifierType>(state);
}

// Keys whose press does something in a page besides typing a character
// (typed characters arrive as text).
guint KeyvalOf(unsigned virtualKey, unsigned modifiers) {
  switch (virtualKey) {
    case 0x08: return GDK_KEY_BackSpace;
    case 0x09: return (modifiers & kShift) ? GDK_KEY_ISO_Left_Tab : GDK_KEY_Tab;
    case 0x0D: return GDK_KEY_Return;
    case 0x10: return GDK_KEY_Shift_L;
    case 0x11: return GDK_KEY_Control_L;
    case 0x12: return GDK_KEY_Alt_L;
    case 0x1B: return GDK_KEY_Escape;
    case 0x21: return GDK_KEY_Page_Up;
    case 0x22: return GDK_KEY_Page_Down;
    case 0x23: return GDK_KEY_End;
    case 0x24: return GDK_KEY_Home;
    case 0x25: return GDK_KEY_Left;
    case 0x26: return GDK_KEY_Up;
    case 0x27: return GDK_KEY_Right;
    case 0x28: return GDK_KEY_Down;
    case 0x2D: return GDK_KEY_Insert;
    case 0x2E: return GDK_KEY_Delete;
    default: break;
  }
  if (virtualKey >= 0x70 && virtualKey <= 0x7B) return GDK_KEY_F1 + (virtualKey - 0x70);
  // Letters and digits only as shortcuts (copy, paste, select all).
  bool shortcut = (modifiers & (kControl | kAlt)) != 0;
  if (shortcut && virtualKey >= 'A' && virtualKey <= 'Z') return GDK_KEY_a + (virtualKey - 'A');
  if (shortcut && virtualKey >= '0' && virtualKey <= '9') return GDK_KEY_0 + (virtualKey - '0');
  return 0;
}

// Gives every script of a page window.external with the owner's methods
// and a window.close() that reaches the owner: the view ignores close()
// for a window the script did not open itself.
std::string PageScript(const std::string& externalMethods) {
  std::string names;
  size_t start = 0;
  while (start <= externalMethods.size()) {
    size_t end = externalMethods.find(',', start);
    if (end == std::string::npos) end = externalMethods.size();
    std::string name = externalMethods.substr(start, end - start);
    bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
      return g_ascii_isalnum(c) || c == '_';
    });
    if (plain) names += (names.empty() ? "\"" : ",\"") + name + "\"";
    start = end + 1;
  }
  return "(function() {\n"
         "  var handlers = window.webkit && window.webkit.messageHandlers;\n"
         "  if (!handlers) return;\n"
         "  var external = {};\n"
         "  [" + names + "].forEach(function(name) {\n"
         "    external[name] = function() { handlers." + kExternalHandler + ".postMessage(name); };\n"
         "  });\n"
         "  try { Object.defineProperty(window, 'external', {value: external, configurable: true, writable: true}); }\n"
         "  catch (e) { window.external = external; }\n"
         "  window.close = function() { handlers." + kCloseHandler + ".postMessage(''); };\n"
         "})();\n";
}

class WebKitEngine;

class WebKitPage final : public IWebPage {
 public:
  WebKitPage(WebKitEngine& engine, IWebPageEvents& events, int width, int height, const void* group)
      : engine_(engine), events_(events), width_(width), height_(height), group_(group) {}
  ~WebKitPage() override;

  bool Build(WebKitWebContext* context, WebKitWebView* related, const std::string& externalMethods);

  void Load(const std::string& url) override;
  void RunScript(const std::string& script) override;
  bool CopyPixels(std::uint16_t* pixels, int width, int height, int rowBytes) override;
  void Mouse(int kind, int x, int y, int button, unsigned modifiers) override;
  void Key(bool down, unsigned virtualKey, unsigned modifiers) override;
  void Text(const std::string& utf8) override;
  void Focus(bool focused) override;
  void SetVisible(bool visible) override { visible_ = visible; }
  std::string Location() const override;

  WebKitWebView* View() const { return view_; }
  const void* Group() const { return group_; }
  IWebPageEvents& Events() { return events_; }
  void LoadNow(const std::string& url);
  const std::string& WantedUrl() const { return wantedUrl_; }

 private:
  static gboolean OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                 gpointer self);
  static gboolean OnDamage(GtkWidget*, GdkEvent*, gpointer self);
  static gboolean OnQueryTooltip(GtkWidget* widget, gint, gint, gboolean, GtkTooltip*, gpointer);
  static void OnClose(WebKitWebView*, gpointer self);
  static void OnExternalMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self);
  static void OnCloseMessage(WebKitUserContentManager*, WebKitJavascriptResult*, gpointer self);
  static void OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer self);

  // The deepest visible window under (x, y) and the point in its coordinates.
  GdkWindow* WindowAt(int& x, int& y) const;
  void SendButton(GdkEventType type, int x, int y, int button, unsigned modifiers);
  void SendMotion(int x, int y, unsigned modifiers);
  void SendCrossing(GdkEventType type, int x, int y);
  void SendScroll(int x, int y, bool up, unsigned modifiers);
  void SendKey(bool down, guint keyval, unsigned modifiers, const std::string& text);
  GdkDevice* Pointer() const;
  GdkDevice* Keyboard() const;

  WebKitEngine& engine_;
  IWebPageEvents& events_;
  int width_;
  int height_;
  const void* group_;
  GtkWidget* window_ = nullptr;
  WebKitWebView* view_ = nullptr;
  WebKitUserContentManager* content_ = nullptr;
  cairo_surface_t* image_ = nullptr;
  bool damaged_ = true;
  bool visible_ = true;
  bool pointerInside_ = false;
  std::string wantedUrl_;
};

class WebKitEngine final : public IWebEngine {
 public:
  bool Start() override;
  IWebPage* CreatePage(IWebPageEvents& events, int width, int height, const void* group,
                       const std::string& externalMethods) override;
  void ReleasePage(IWebPage* page) override;
  void SetCookies(const PageCookie* cookies, int count) override;
  bool Pump() override;
  int PageCount() const override { return static_cast<int>(pages_.size()); }

  // Loads `url` in the page once the portal cookies for its host are set.
  void LoadWithCookies(WebKitPage& page, const std::string& url);
  enum class Event { Closed, External };
  void Queue(WebKitPage& page, Event event, std::string method = {});
  bool Alive(const WebKitPage* page) const {
    return std::find(pages_.begin(), pages_.end(), page) != pages_.end();
  }

 private:
  struct Queued {
    WebKitPage* page;
    Event event;
    std::string method;
  };
  struct CookieJob {
    WebKitEngine* engine;
    WebKitPage* page;
    std::string url;
    int remaining;
  };
  static void OnCookieAdded(GObject* manager, GAsyncResult* result, gpointer job);
  WebKitWebView* RelatedView(const void* group) const;
  void ReleaseContext();

  int started_ = -1;  // -1 not tried, 0 failed, 1 running
  WebKitWebContext* context_ = nullptr;
  std::vector<WebKitPage*> pages_;
  std::vector<Queued> queue_;
  std::vector<PageCookie> cookies_;
  std::set<std::string> hostsWithCookies_;
  bool pumping_ = false;
};

// ---------------------------------------------------------------------------

bool WebKitPage::Build(WebKitWebContext* context, WebKitWebView* related, const std::string& externalMethods) {
  content_ = webkit_user_content_manager_new();
  g_signal_connect(content_, (std::string("script-message-received::") + kExternalHandler).c_str(),
                   G_CALLBACK(OnExternalMessage), this);
  g_signal_connect(content_, (std::string("script-message-received::") + kCloseHandler).c_str(),
                   G_CALLBACK(OnCloseMessage), this);
  webkit_user_content_manager_register_script_message_handler(content_, kExternalHandler);
  webkit_user_content_manager_register_script_message_handler(content_, kCloseHandler);
  WebKitUserScript* script =
      webkit_user_script_new(PageScript(externalMethods).c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                             WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
  webkit_user_content_manager_add_script(content_, script);
  webkit_user_script_unref(script);

  WebKitSettings* settings = webkit_settings_new();
  webkit_settings_set_hardware_acceleration_policy(settings, WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  webkit_settings_set_enable_developer_extras(settings, FALSE);
  webkit_settings_set_javascript_can_open_windows_automatically(settings, TRUE);
  // A page in another window's web process shares that process; the user
  // content stays this page's own, so script messages name their page.
  view_ = related ? WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "settings", settings, "user-content-manager",
                                                 content_, "related-view", related, nullptr))
                  : WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context, "settings", settings,
                                                 "user-content-manager", content_, nullptr));
  g_object_unref(settings);
  if (!view_) return false;
  g_object_ref_sink(view_);

  window_ = gtk_offscreen_window_new();
  gtk_window_set_default_size(GTK_WINDOW(window_), width_, height_);
  gtk_widget_set_size_request(GTK_WIDGET(view_), width_, height_);
  gtk_container_add(GTK_CONTAINER(window_), GTK_WIDGET(view_));
  // Tooltips of an offscreen view try to place a real window and fail.
  gtk_widget_set_has_tooltip(GTK_WIDGET(view_), FALSE);
  g_signal_connect(view_, "query-tooltip", G_CALLBACK(OnQueryTooltip), this);
  g_signal_connect(view_, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
  g_signal_connect(view_, "close", G_CALLBACK(OnClose), this);
  g_signal_connect(view_, "web-process-terminated", G_CALLBACK(OnProcessTerminated), this);
  g_signal_connect(window_, "damage-event", G_CALLBACK(OnDamage), this);
  gtk_widget_show_all(window_);
  gtk_widget_grab_focus(GTK_WIDGET(view_));
  return true;
}

WebKitPage::~WebKitPage() {
  if (content_) g_signal_handlers_disconnect_by_data(content_, this);
  if (view_) {
    g_signal_handlers_disconnect_by_data(view_, this);
    webkit_web_view_stop_loading(view_);
  }
  if (window_) {
    g_signal_handlers_disconnect_by_data(window_, this);
    gtk_widget_destroy(window_);
  }
  if (view_) g_object_unref(view_);
  if (content_) g_object_unref(content_);
  if (image_) cairo_surface_destroy(image_);
}

void WebKitPage::Load(const std::string& url) {
  wantedUrl_ = url;
  engine_.LoadWithCookies(*this, url);
}

void WebKitPage::LoadNow(const std::string& url) { webkit_web_view_load_uri(view_, url.c_str()); }

void WebKitPage::RunScript(const std::string& script) {
  webkit_web_view_evaluate_javascript(view_, script.c_str(), static_cast<gssize>(script.size()), nullptr, nullptr,
                                      nullptr, nullptr, nullptr);
}

std::string WebKitPage::Location() const {
  const char* uri = webkit_web_view_get_uri(view_);
  return uri ? uri : "";
}

bool WebKitPage::CopyPixels(std::uint16_t* pixels, int width, int height, int rowBytes) {
  if (!damaged_ || !pixels) return false;
  cairo_surface_t* surface = gtk_offscreen_window_get_surface(GTK_OFFSCREEN_WINDOW(window_));
  if (!surface) return false;
  if (!image_) image_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width_, height_);
  cairo_t* cr = cairo_create(image_);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_surface(cr, surface, 0, 0);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(image_);
  const unsigned char* data = cairo_image_surface_get_data(image_);
  int stride = cairo_image_surface_get_stride(image_);
  int rows = std::min(height, height_), columns = std::min(width, width_);
  for (int y = 0; y < rows; ++y) {
    auto* source = reinterpret_cast<const std::uint32_t*>(data + y * stride);
    auto* target = reinterpret_cast<std::uint16_t*>(reinterpret_cast<unsigned char*>(pixels) + y * rowBytes);
    for (int x = 0; x < columns; ++x) {
      std::uint32_t p = source[x];
      target[x] = static_cast<std::uint16_t>(((p >> 9) & 0x7C00) | ((p >> 6) & 0x03E0) | ((p >> 3) & 0x001F));
    }
  }
  damaged_ = false;
  return true;
}

GdkWindow* WebKitPage::WindowAt(int& x, int& y) const {
  GdkWindow* window = gtk_widget_get_window(window_);
  for (bool descended = true; descended && window;) {
    descended = false;
    for (GList* child = gdk_window_peek_children(window); child; child = child->next) {
      auto* candidate = static_cast<GdkWindow*>(child->data);
      if (!gdk_window_is_visible(candidate)) continue;
      int cx = 0, cy = 0;
      gdk_window_get_position(candidate, &cx, &cy);
      if (x < cx || y < cy || x >= cx + gdk_window_get_width(candidate) || y >= cy + gdk_window_get_height(candidate))
        continue;
      x -= cx;
      y -= cy;
      window = candidate;
      descended = true;
      break;
    }
  }
  return window;
}

GdkDevice* WebKitPage::Pointer() const {
  return gdk_seat_get_pointer(gdk_display_get_default_seat(gtk_widget_get_display(window_)));
}

GdkDevice* WebKitPage::Keyboard() const {
  return gdk_seat_get_keyboard(gdk_display_get_default_seat(gtk_widget_get_display(window_)));
}

void WebKitPage::SendButton(GdkEventType type, int x, int y, int button, unsigned modifiers) {
  int px = x, py = y;
  GdkWindow* target = WindowAt(px, py);
  if (!target) return;
  GdkEvent* event = gdk_event_new(type);
  event->button.window = GDK_WINDOW(g_object_ref(target));
  event->button.send_event = TRUE;
  event->button.time = Now();
  event->button.x = px;
  event->button.y = py;
  event->button.x_root = x;
  event->button.y_root = y;
  event->button.button = static_cast<guint>(button);
  event->button.state = GdkState(modifiers);
  gdk_event_set_device(event, Pointer());
  gtk_main_do_event(event);
  gdk_event_free(event);
}

void WebKitPage::SendMotion(int x, int y, unsigned modifiers) {
  int px = x, py = y;
  GdkWindow* target = WindowAt(px, py);
  if (!target) return;
  GdkEvent* event = gdk_event_new(GDK_MOTION_NOTIFY);
  event->motion.window = GDK_WINDOW(g_object_ref(target));
  event->motion.send_event = TRUE;
  event->motion.time = Now();
  event->motion.x = px;
  event->motion.y = py;
  event->motion.x_root = x;
  event->motion.y_root = y;
  event->motion.state = GdkState(modifiers);
  gdk_event_set_device(event, Pointer());
  gtk_main_do_event(event);
  gdk_event_free(event);
}

void WebKitPage::SendCrossing(GdkEventType type, int x, int y) {
  int px = x, py = y;
  GdkWindow* target = WindowAt(px, py);
  if (!target) return;
  GdkEvent* event = gdk_event_new(type);
  event->crossing.window = GDK_WINDOW(g_object_ref(target));
  event->crossing.send_event = TRUE;
  event->crossing.time = Now();
  event->crossing.x = px;
  event->crossing.y = py;
  event->crossing.x_root = x;
  event->crossing.y_root = y;
  event->crossing.mode = GDK_CROSSING_NORMAL;
  event->crossing.detail = GDK_NOTIFY_ANCESTOR;
  gdk_event_set_device(event, Pointer());
  gtk_main_do_event(event);
  gdk_event_free(event);
}

void WebKitPage::SendScroll(int x, int y, bool up, unsigned modifiers) {
  int px = x, py = y;
  GdkWindow* target = WindowAt(px, py);
  if (!target) return;
  GdkEvent* event = gdk_event_new(GDK_SCROLL);
  event->scroll.window = GDK_WINDOW(g_object_ref(target));
  event->scroll.send_event = TRUE;
  event->scroll.time = Now();
  event->scroll.x = px;
  event->scroll.y = py;
  event->scroll.x_root = x;
  event->scroll.y_root = y;
  event->scroll.direction = up ? GDK_SCROLL_UP : GDK_SCROLL_DOWN;
  event->scroll.state = GdkState(modifiers);
  gdk_event_set_device(event, Pointer());
  gtk_main_do_event(event);
  gdk_event_free(event);
}

void WebKitPage::Mouse(int kind, int x, int y, int button, unsigned modifiers) {
  if (kind == 5) {
    if (pointerInside_) SendCrossing(GDK_LEAVE_NOTIFY, x, y);
    pointerInside_ = false;
    return;
  }
  // As the X server reports them: a press does not yet hold its own
  // button, its release does.
  unsigned own = button == 1 ? kLeftHeld : button == 3 ? kRightHeld : 0;
  if (kind == 1 || kind == 3) modifiers &= ~own;
  if (kind == 2) modifiers |= own;
  if (!pointerInside_) {
    SendCrossing(GDK_ENTER_NOTIFY, x, y);
    pointerInside_ = true;
  }
  switch (kind) {
    case 0: SendMotion(x, y, modifiers); break;
    case 1: SendButton(GDK_BUTTON_PRESS, x, y, button, modifiers); break;
    case 2: SendButton(GDK_BUTTON_RELEASE, x, y, button, modifiers); break;
    case 3:
      SendButton(GDK_BUTTON_PRESS, x, y, button, modifiers);
      SendButton(GDK_2BUTTON_PRESS, x, y, button, modifiers);
      break;
    case 4: SendScroll(x, y, button > 0, modifiers); break;
    default: break;
  }
}

void WebKitPage::SendKey(bool down, guint keyval, unsigned modifiers, const std::string& text) {
  GdkEvent* event = gdk_event_new(down ? GDK_KEY_PRESS : GDK_KEY_RELEASE);
  event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window_)));
  event->key.send_event = TRUE;
  event->key.time = Now();
  event->key.state = GdkState(modifiers);
  event->key.keyval = keyval;
  event->key.string = g_strdup(text.c_str());
  event->key.length = static_cast<gint>(text.size());
  GdkKeymapKey* keys = nullptr;
  gint count = 0;
  if (gdk_keymap_get_entries_for_keyval(gdk_keymap_get_for_display(gtk_widget_get_display(window_)), keyval, &keys,
                                        &count) &&
      count > 0) {
    event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    event->key.group = static_cast<guint8>(keys[0].group);
  }
  g_free(keys);
  gdk_event_set_device(event, Keyboard());
  gtk_main_do_event(event);
  gdk_event_free(event);
}

void WebKitPage::Key(bool down, unsigned virtualKey, unsigned modifiers) {
  guint keyval = KeyvalOf(virtualKey, modifiers);
  if (keyval) SendKey(down, keyval, modifiers, "");
}

void WebKitPage::Text(const std::string& utf8) {
  if (!g_utf8_validate(utf8.c_str(), static_cast<gssize>(utf8.size()), nullptr)) return;
  for (const char* p = utf8.c_str(); *p; p = g_utf8_next_char(p)) {
    gunichar character = g_utf8_get_char(p);
    std::string one(p, static_cast<size_t>(g_utf8_next_char(p) - p));
    guint keyval = gdk_unicode_to_keyval(character);
    SendKey(true, keyval, 0, one);
    SendKey(false, keyval, 0, one);
  }
}

void WebKitPage::Focus(bool focused) {
  // Only the view gets the focus change: one sent to the offscreen window
  // itself makes the X server refuse a window that does not exist there.
  GdkEvent* event = gdk_event_new(GDK_FOCUS_CHANGE);
  event->focus_change.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(GTK_WIDGET(view_))));
  event->focus_change.send_event = TRUE;
  event->focus_change.in = focused ? TRUE : FALSE;
  gdk_event_set_device(event, Keyboard());
  gtk_widget_send_focus_change(GTK_WIDGET(view_), event);
  gdk_event_free(event);
}

gboolean WebKitPage::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                    gpointer self) {
  if (type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION && type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION)
    return FALSE;
  auto* page = static_cast<WebKitPage*>(self);
  WebKitNavigationAction* action =
      webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
  WebKitURIRequest* request = webkit_navigation_action_get_request(action);
  const char* uri = webkit_uri_request_get_uri(request);
  const char* frameName = webkit_navigation_action_get_frame_name(action);
  bool newWindow = type == WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION;
  std::string frame = newWindow ? "_blank" : (frameName ? frameName : "");
  std::string url = uri ? uri : "";
  if (page->events_.BeforeNavigate(url, frame)) {
    webkit_policy_decision_ignore(decision);
    return TRUE;
  }
  if (newWindow) {
    // A page that opens a window gets the address in its own view: the
    // client shows one page per place, and the view keeps its cookies.
    webkit_policy_decision_ignore(decision);
    page->LoadNow(url);
    return TRUE;
  }
  webkit_policy_decision_use(decision);
  return TRUE;
}

gboolean WebKitPage::OnDamage(GtkWidget*, GdkEvent*, gpointer self) {
  static_cast<WebKitPage*>(self)->damaged_ = true;
  return FALSE;
}

gboolean WebKitPage::OnQueryTooltip(GtkWidget* widget, gint, gint, gboolean, GtkTooltip*, gpointer) {
  g_signal_stop_emission_by_name(widget, "query-tooltip");
  return FALSE;
}

void WebKitPage::OnClose(WebKitWebView*, gpointer self) {
  auto* page = static_cast<WebKitPage*>(self);
  page->engine_.Queue(*page, WebKitEngine::Event::Closed);
}

void WebKitPage::OnExternalMessage(WebKitUserContentManager*, WebKitJavascriptResult* result, gpointer self) {
  auto* page = static_cast<WebKitPage*>(self);
  JSCValue* value = webkit_javascript_result_get_js_value(result);
  if (!value || !jsc_value_is_string(value)) return;
  char* text = jsc_value_to_string(value);
  page->engine_.Queue(*page, WebKitEngine::Event::External, text ? text : "");
  g_free(text);
}

void WebKitPage::OnCloseMessage(WebKitUserContentManager*, WebKitJavascriptResult*, gpointer self) {
  auto* page = static_cast<WebKitPage*>(self);
  page->engine_.Queue(*page, WebKitEngine::Event::Closed);
}

void WebKitPage::OnProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason reason, gpointer) {
  Warn(std::string("a web process ended: ") +
       (reason == WEBKIT_WEB_PROCESS_CRASHED ? "crashed" : reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT
                                                               ? "out of memory"
                                                               : "ended by the client"));
}

// ---------------------------------------------------------------------------

bool WebKitEngine::Start() {
  if (started_ >= 0) return started_ == 1;
  // The client keeps its own locale; the toolkit must not change it (a
  // toolkit another copy of this library started has left it alone).
  if (!gdk_display_get_default()) gtk_disable_setlocale();
  started_ = gtk_init_check(nullptr, nullptr) ? 1 : 0;
  if (started_ == 1) {
    // Typed text arrives as key events; the plain input method commits
    // each character (a desktop input method would compose them again).
    g_object_set(gtk_settings_get_default(), "gtk-im-module", "gtk-im-context-simple", nullptr);
  }
  return started_ == 1;
}

WebKitWebView* WebKitEngine::RelatedView(const void* group) const {
  for (WebKitPage* page : pages_)
    if (group && page->Group() == group) return page->View();
  return nullptr;
}

IWebPage* WebKitEngine::CreatePage(IWebPageEvents& events, int width, int height, const void* group,
                                   const std::string& externalMethods) {
  if (!Start() || width <= 0 || height <= 0) return nullptr;
  if (!context_) {
    context_ = webkit_web_context_new_ephemeral();
    webkit_web_context_set_cache_model(context_, WEBKIT_CACHE_MODEL_DOCUMENT_VIEWER);
    hostsWithCookies_.clear();
  }
  auto page = std::make_unique<WebKitPage>(*this, events, width, height, group);
  if (!page->Build(context_, RelatedView(group), externalMethods)) {
    page.reset();
    if (pages_.empty()) ReleaseContext();
    return nullptr;
  }
  pages_.push_back(page.get());
  return page.release();
}

void WebKitEngine::ReleasePage(IWebPage* released) {
  auto* page = static_cast<WebKitPage*>(released);
  auto it = std::find(pages_.begin(), pages_.end(), page);
  if (it == pages_.end()) return;
  pages_.erase(it);
  std::erase_if(queue_, [page](const Queued& queued) { return queued.page == page; });
  delete page;
  if (pages_.empty()) ReleaseContext();
}

void WebKitEngine::ReleaseContext() {
  if (!context_) return;
  // The web and network processes end with the context that owns them.
  g_object_unref(context_);
  context_ = nullptr;
  hostsWithCookies_.clear();
}

void WebKitEngine::SetCookies(const PageCookie* cookies, int count) {
  cookies_.assign(cookies, cookies + std::max(count, 0));
  hostsWithCookies_.clear();
}

void WebKitEngine::LoadWithCookies(WebKitPage& page, const std::string& url) {
  GUri* uri = g_uri_parse(url.c_str(), G_URI_FLAGS_NONE, nullptr);
  std::string host = uri && g_uri_get_host(uri) ? g_uri_get_host(uri) : "";
  std::string scheme = uri && g_uri_get_scheme(uri) ? g_uri_get_scheme(uri) : "";
  if (uri) g_uri_unref(uri);
  bool web = scheme == "http" || scheme == "https";
  if (!web || host.empty() || cookies_.empty() || hostsWithCookies_.count(host)) {
    page.LoadNow(url);
    return;
  }
  hostsWithCookies_.insert(host);
  WebKitCookieManager* manager = webkit_web_context_get_cookie_manager(context_);
  auto* job = new CookieJob{this, &page, url, static_cast<int>(cookies_.size())};
  for (const PageCookie& cookie : cookies_) {
    SoupCookie* soup = soup_cookie_new(cookie.name.c_str(), cookie.value.c_str(), host.c_str(), "/", -1);
    webkit_cookie_manager_add_cookie(manager, soup, nullptr, OnCookieAdded, job);
    soup_cookie_free(soup);
  }
}

void WebKitEngine::OnCookieAdded(GObject* manager, GAsyncResult* result, gpointer data) {
  auto* job = static_cast<CookieJob*>(data);
  GError* error = nullptr;
  if (!webkit_cookie_manager_add_cookie_finish(WEBKIT_COOKIE_MANAGER(manager), result, &error)) {
    Warn(std::string("a portal cookie was refused: ") + (error ? error->message : "?"));
    g_clear_error(&error);
  }
  if (--job->remaining > 0) return;
  // The page may have gone, or asked for another address meanwhile.
  if (job->engine->Alive(job->page) && job->page->WantedUrl() == job->url) job->page->LoadNow(job->url);
  delete job;
}

void WebKitEngine::Queue(WebKitPage& page, Event event, std::string method) {
  queue_.push_back({&page, event, std::move(method)});
}

bool WebKitEngine::Pump() {
  if (started_ != 1 || pumping_) return false;
  bool ran = false;
  pumping_ = true;
  for (int i = 0; i < 64 && g_main_context_iteration(nullptr, FALSE); ++i) ran = true;
  pumping_ = false;
  // Delivered outside the toolkit's callbacks: an owner may run a modal
  // window from here, which pumps again.
  while (!queue_.empty()) {
    Queued next = std::move(queue_.front());
    queue_.erase(queue_.begin());
    ran = true;
    if (!Alive(next.page)) continue;
    if (next.event == Event::Closed)
      next.page->Events().Closed();
    else
      next.page->Events().External(next.method);
  }
  return ran;
}

}  // namespace
}  // namespace tovrik::ssoweb

extern "C" __attribute__((visibility("default"))) tovrik::ssoweb::IWebEngine* SSOWebEngine_Instance() {
  // One per process: the toolkit can be started only once.
  static tovrik::ssoweb::WebKitEngine engine;
  return &engine;
}
