// What the desktop front end's files share: the GTK widgets shown for each
// window and control of the dialog manager, and the front end that keeps
// them in step (gtk_front_end.cpp), made in gtk_windows.cpp, gtk_controls.cpp
// and gtk_menus.cpp, with the person's input read in gtk_signals.cpp.
#pragma once

#include <gtk/gtk.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "platform/dialog/frontend.h"
#include "platform/dialog/window.h"
#include "platform/gtk/gtk_front_end.h"
#include "platform/gtk/layout.h"

namespace gtkfe {

// A window or control as the front end remembers it between turns: its
// handle and its serial, so a later window given the same address is never
// taken for it.
struct WindowRef {
  HWND handle = nullptr;
  std::uint64_t serial = 0;
  static WindowRef Of(layer::Window* w) { return {layer::ToHandle(w), w ? w->serial : 0}; }
  // Null once that window is gone.
  layer::Window* Live() const {
    layer::Window* w = layer::FromHandle(handle);
    return w && w->serial == serial ? w : nullptr;
  }
};

struct WindowView;

struct ControlView {
  layer::Window* control = nullptr;  // valid while its window's view is kept
  WindowView* view = nullptr;        // the window it is in
  WindowRef ref;
  PlacedControl placed;
  GtkWidget* widget = nullptr;  // what the fixed holds
  GtkWidget* text = nullptr;    // entry, text view
  GtkWidget* area = nullptr;    // a list's drawing
  GtkAdjustment* scroll = nullptr;
  GtkWidget* drop = nullptr;    // a combo box's open list
  GtkWidget* dropArea = nullptr;
  PixelRect dropRect;
  // The field's text and selection as last shown, to tell the program's
  // changes from the person's.
  std::string shownText;
  size_t shownAnchor = 0, shownCaret = 0;
  std::string shownLabel;
};

struct WindowView {
  layer::Window* window = nullptr;  // valid while its serial is among the shown windows
  WindowRef ref;
  GtkWidget* gtkWindow = nullptr;
  GtkWidget* fixed = nullptr;
  GtkWidget* menuBar = nullptr;
  std::vector<GtkWidget*> menuButtons;
  GtkWidget* popup = nullptr;
  std::vector<GtkWidget*> popupItems;  // by item position; null for a separator
  std::string popupBuilt;              // what the popup's items were built from; empty when none
  WindowLayout base;    // at the template's size
  WindowLayout layout;  // at the window's size now
  std::vector<std::unique_ptr<ControlView>> controls;
  bool altAlone = false;
};

class GtkFrontEnd : public layer::FrontEnd {
 public:
  explicit GtkFrontEnd(const Options& options);
  ~GtkFrontEnd() override;

  bool WaitForInput(layer::Window*) override;
  void Changed() override { dirty_ = true; }
  int ShownLines(const layer::Window& control) override;
  // gtk_files.cpp: GTK's native chooser for GetOpenFileName and GetSaveFileName.
  std::optional<layer::FileDialogAnswer> ChooseFile(const layer::FileDialogRequest& request) override;

  void Close() { closing_ = true; }

  // What the person did, run at the next modal loop's turn; for a window,
  // only while that same window lives.
  void Queue(std::function<void()> action);
  void QueueFor(const WindowRef& ref, std::function<void(HWND)> action);
  bool Syncing() const { return syncing_; }
  bool Pending() const { return !actions_.empty() || dirty_; }
  // The field's caret and selection as GTK shows them now, so the next Sync
  // does not put them back.
  void Shown(HWND field);

  const FontMetrics& Metrics() const { return metrics_; }
  void DrawList(ControlView* c, cairo_t* cr, int width, int height, bool dropped);

 private:
  MeasureText Measure();
  int DropLines(const layer::Window& combo);
  WindowView* ViewOf(layer::Window* w);
  void Sync();

  // gtk_windows.cpp
  WindowView* Create(layer::Window* w);
 public:
  void Resize(WindowView* view, int width, int height);  // the client area's new size
 private:
  void Labels(WindowView* view);
  void Update(WindowView* view);
  // gtk_controls.cpp
  void CreateControl(WindowView* view, ControlView* c);
  void UpdateControl(ControlView* c);
  // gtk_menus.cpp
  void CreateMenuBar(WindowView* view, GtkWidget* box);
  void UpdateMenu(WindowView* view);
  // In menu mode, the highlighted menu title or item: where a screen reader
  // is told the focus is, as on Windows. Null outside menu mode.
  GtkWidget* LitMenuWidget(WindowView* view);

  Options options_;
  GtkWidget* probe_ = nullptr;
  PangoLayout* measureLayout_ = nullptr;
  FontMetrics metrics_;
  std::map<std::uint64_t, std::unique_ptr<WindowView>> views_;  // by window serial
  std::deque<std::function<void()>> actions_;
  std::uint64_t presented_ = 0;
  bool dirty_ = true;
  bool syncing_ = false;
  bool closing_ = false;
};

extern GtkFrontEnd* current;

// G_CALLBACK for a lambda: a function call, where commas in captures are safe.
template <typename F>
GCallback Callback(F* f) {
  return reinterpret_cast<GCallback>(f);
}

// gtk_controls.cpp
std::string Underlined(const std::string& text);  // '&' mnemonic markers as GTK's '_'
void Name(GtkWidget* widget, const std::string& name);
void SetButtonText(GtkWidget* button, const std::string& text);
size_t ByteOffset(const std::string& text, int chars);
// The dialog manager's caret and selection onto a focused field that does
// not show them yet.
void PushSelection(ControlView* c, bool focused);

// gtk_desktop.cpp: what differs between X11 and Wayland.
// The room the desktop gives a window: the work area of its first monitor on
// X11, else the monitor's whole size.
PixelRect WorkArea();
// The class part of WM_CLASS on X11 for every window.
void SetProgramClass(const std::string& name);
// The application id as the window's whole WM_CLASS (X11) or its app_id
// (Wayland), where GTK would take the program's name.
void SetWindowIdentity(GtkWidget* window, const std::string& applicationId);

// gtk_files.cpp
void ConnectDrop(WindowView* view);  // files dropped on the window

// gtk_signals.cpp
void ConnectWindow(WindowView* view);
void ConnectEntry(GtkWidget* entry, ControlView* c);
void ConnectTextView(GtkWidget* text, ControlView* c);
void ConnectList(GtkWidget* area, ControlView* c, bool dropped);
void ConnectClick(GtkWidget* button, ControlView* c, void (*click)(HWND));
void ConnectScroll(GtkAdjustment* scroll, ControlView* c);
// The window's empty, hidden popup menu, laid over its controls.
void NewPopup(WindowView* view);
// A menu bar title (a popup's position) or an open popup's item.
void ConnectMenuButton(GtkWidget* button, WindowView* view, int index, bool popupItem);

}  // namespace gtkfe
