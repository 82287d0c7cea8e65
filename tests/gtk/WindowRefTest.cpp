// A window the desktop front end remembers is never mistaken for a later one
// made at the same address: a dialog opened right after another ends must
// not get the ended one's widgets or its queued input.
#include <gtest/gtest.h>

#include "platform/dialog/window.h"
#include "platform/gtk/gtk_views.h"
#include "platform/headless/headless.h"
#include "resources/ProgramResources.h"
#include "resources/resource.h"

namespace {

INT_PTR CALLBACK Plain(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

TEST(WindowRefTest, AnEndedWindowIsNotTakenForTheNextOneAtItsAddress) {
  UseProgramResources();
  headless::Session ui;
  gtkfe::WindowRef first, second;
  ui.Then([&] {
    first = gtkfe::WindowRef::Of(layer::FromHandle(ui.Active()));
    EXPECT_NE(first.Live(), nullptr);
    EndDialog(ui.Active(), 0);
  });
  DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_ACCOUNT), nullptr, Plain, 0);
  EXPECT_EQ(first.Live(), nullptr);
  ui.Then([&] {
    second = gtkfe::WindowRef::Of(layer::FromHandle(ui.Active()));
    EXPECT_NE(second.serial, first.serial);
    EXPECT_EQ(first.Live(), nullptr);
    // The allocator may or may not give the new dialog the old address; as
    // if it had, the old reference at the new address names nothing.
    gtkfe::WindowRef reused{second.handle, first.serial};
    EXPECT_EQ(reused.Live(), nullptr) << "the ended dialog's reference names the new dialog";
    EXPECT_EQ(second.Live(), layer::FromHandle(second.handle));
    EndDialog(ui.Active(), 0);
  });
  DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_ACCOUNT), nullptr, Plain, 0);
}

}  // namespace
