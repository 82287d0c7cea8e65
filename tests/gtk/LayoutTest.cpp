// Every window of the program laid out in pixels, in two desktop fonts at
// scale 1 and 2, without a display: no control covers another, every text is
// whole inside its control, and everything lies inside the window.
#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/dialog/desktop.h"
#include "platform/dialog/frontend.h"
#include "platform/gtk/layout.h"
#include "platform/gtk/list_painter.h"
#include "platform/win32.h"
#include "resources/ProgramResources.h"
#include "resources/resource.h"

namespace {

using gtkfe::FontMetrics;
using gtkfe::PlacedControl;
using gtkfe::WindowLayout;

struct Font {
  const char* description;
  int scale;
};
constexpr Font kFonts[] = {{"Sans 10", 1}, {"Sans 10", 2}, {"Serif 12", 1}, {"Serif 12", 2}};

// A Pango layout at the scale's resolution, as a desktop at that scale draws.
class Measurer {
 public:
  explicit Measurer(const Font& font) {
    map_ = pango_cairo_font_map_new();
    pango_cairo_font_map_set_resolution(PANGO_CAIRO_FONT_MAP(map_), 96.0 * font.scale);
    context_ = pango_font_map_create_context(map_);
    layout_ = pango_layout_new(context_);
    PangoFontDescription* description = pango_font_description_from_string(font.description);
    pango_layout_set_font_description(layout_, description);
    pango_font_description_free(description);
    pango_layout_set_text(layout_, "Ag", -1);
    int width = 0, height = 0;
    pango_layout_get_pixel_size(layout_, &width, &height);
    metrics = gtkfe::AverageCharacter(Measure(), height, font.scale);
  }
  ~Measurer() {
    g_object_unref(layout_);
    g_object_unref(context_);
    g_object_unref(map_);
  }
  gtkfe::MeasureText Measure() {
    return [this](const std::string& text) { return gtkfe::TextWidth(layout_, text); };
  }
  FontMetrics metrics;

 private:
  PangoFontMap* map_ = nullptr;
  PangoContext* context_ = nullptr;
  PangoLayout* layout_ = nullptr;
};

std::string Name(const PlacedControl& p) {
  return "control " + std::to_string(p.control->id) + " \"" + p.control->text + "\"";
}

bool Contains(const gtkfe::PixelRect& outer, const gtkfe::PixelRect& inner) {
  return inner.x >= outer.x && inner.y >= outer.y && inner.Right() <= outer.Right() && inner.Bottom() <= outer.Bottom();
}

// An empty static with a frame draws a box that other controls sit in.
bool IsFrame(const layer::Window& c) {
  return (c.kind == layer::Kind::Static && c.text.empty()) || c.kind == layer::Kind::GroupBox;
}

int Lines(const std::string& text) { return 1 + static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

void ExpectNoOverlap(const WindowLayout& layout, const FontMetrics& m);

void ExpectTidy(const std::string& scene, const layer::Window& window) {
  for (const Font& font : kFonts) {
    SCOPED_TRACE(scene + " in " + font.description + " at scale " + std::to_string(font.scale));
    Measurer measurer(font);
    const FontMetrics& m = measurer.metrics;
    WindowLayout layout = gtkfe::LayOut(window, m, measurer.Measure());
    if (!window.dialog.messageBox) {
      // The proportions of the Windows program: the template's units in the font's averages.
      EXPECT_EQ(layout.clientWidth, window.rect.cx * m.averageWidth / 4);
      EXPECT_EQ(layout.clientHeight, window.rect.cy * m.height / 8);
    }
    ExpectNoOverlap(layout, m);
  }
}

void ExpectNoOverlap(const WindowLayout& layout, const FontMetrics& m) {
  {
    int menuRight = layout.menu.empty() ? 0 : layout.menu.back().rect.Right();
    EXPECT_LE(menuRight, layout.clientWidth) << "the menu bar is wider than the window";
    std::vector<const PlacedControl*> shown;
    for (const PlacedControl& p : layout.controls)
      if (p.control->Visible()) shown.push_back(&p);
    for (const PlacedControl* p : shown) {
      const gtkfe::PixelRect& r = p->rect;
      EXPECT_TRUE(r.x >= 0 && r.y >= 0 && r.Right() <= layout.clientWidth && r.Bottom() <= layout.clientHeight)
          << Name(*p) << " lies outside the window";
      if (!p->label.empty()) {
        EXPECT_LE(p->textWidth, r.width) << Name(*p) << ": its text is cut";
        EXPECT_LE(Lines(p->label) * m.height, std::max(r.height, m.height)) << Name(*p) << ": a line is cut off";
      }
      for (const PlacedControl* q : shown) {
        if (p >= q || !p->rect.Overlaps(q->rect)) continue;
        bool framed = (IsFrame(*p->control) && Contains(p->rect, q->rect)) ||
                      (IsFrame(*q->control) && Contains(q->rect, p->rect));
        EXPECT_TRUE(framed) << Name(*p) << " covers " << Name(*q);
      }
    }
  }
}

// Runs each window's check when its modal loop first waits, then closes it.
struct Checker : layer::FrontEnd {
  std::function<void(layer::Window&)> check;
  bool WaitForInput(layer::Window* modal) override {
    if (check) {
      auto once = std::move(check);
      check = nullptr;
      once(*modal);
    }
    return false;
  }
};

INT_PTR CALLBACK RegisterProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_INITDIALOG) {
    static const int stops[] = {44, 94, 274, 338, 406};
    SendDlgItemMessageA(dialog, IDC_REGISTER, LB_SETTABSTOPS, 5, reinterpret_cast<LPARAM>(stops));
    SetDlgItemTextA(dialog, IDC_BALANCEDAMOUNT, "$ -1234567.50");
    SetDlgItemTextA(dialog, IDC_BALANCETOTAL, "$ -1234567.50");
    return TRUE;
  }
  if (message == WM_CLOSE) {
    EndDialog(dialog, 0);
    return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK AccountProc(HWND dialog, UINT message, WPARAM, LPARAM) {
  if (message == WM_CLOSE) EndDialog(dialog, 0);
  return message == WM_INITDIALOG || message == WM_CLOSE;
}

class LayoutTest : public testing::Test {
 protected:
  void SetUp() override {
    UseProgramResources();
    layer::InstallFrontEnd(&checker_);
  }
  void TearDown() override { layer::InstallFrontEnd(nullptr); }
  Checker checker_;
};

TEST_F(LayoutTest, TheRegisterInEveryStateHasNoControlCoveringAnotherAndItsTextsWhole) {
  bool checked = false;
  checker_.check = [&](layer::Window& w) {
    ExpectTidy("the register", w);
    ShowWindow(GetDlgItem(layer::ToHandle(&w), IDC_POSTPONE), SW_SHOW);
    SetDlgItemTextA(layer::ToHandle(&w), IDC_BALANCE, "&Finish");
    ExpectTidy("the register while balancing", w);
    checked = true;
  };
  DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_REGISTER), nullptr, RegisterProc, 0);
  EXPECT_TRUE(checked);
}

const PlacedControl& Placed(const WindowLayout& layout, int id) {
  for (const PlacedControl& p : layout.controls)
    if (p.control->id == id) return p;
  throw std::runtime_error("no control " + std::to_string(id));
}

// A register of fixed size hides most of the years on a large screen and
// puts its buttons off a small one.
TEST_F(LayoutTest, TheRegisterResizedGivesTheDifferenceToTheListAndTheDescriptionColumn) {
  bool checked = false;
  checker_.check = [&](layer::Window& w) {
    for (const Font& font : kFonts) {
      Measurer measurer(font);
      const FontMetrics& m = measurer.metrics;
      WindowLayout base = gtkfe::LayOut(w, m, measurer.Measure());
      ASSERT_TRUE(gtkfe::Resizable(base));
      gtkfe::PixelRect smallest = gtkfe::SmallestClient(base);
      // A 1920x1080 screen at the scale, less a panel and the window's frame.
      gtkfe::PixelRect opening = gtkfe::OpeningClient(base, 1920 * font.scale - 20, 1000 * font.scale);
      struct Size {
        const char* name;
        int width, height;
      } sizes[] = {{"smallest", smallest.width, smallest.height},
                   {"opening", opening.width, opening.height},
                   {"a 4K screen", 3840 * font.scale, 2000 * font.scale}};
      EXPECT_LE(opening.height, 1000 * font.scale) << "the register does not fit the screen";
      EXPECT_LT(smallest.height, base.clientHeight);
      for (const Size& size : sizes) {
        SCOPED_TRACE(std::string(size.name) + " in " + font.description + " at scale " + std::to_string(font.scale));
        WindowLayout resized = gtkfe::Resized(base, size.width, size.height);
        ExpectNoOverlap(resized, m);
        int dx = size.width - base.clientWidth, dy = size.height - base.clientHeight;
        const PlacedControl& list = Placed(resized, IDC_REGISTER);
        EXPECT_EQ(list.rect.width, Placed(base, IDC_REGISTER).rect.width + dx);
        EXPECT_EQ(list.rect.height, Placed(base, IDC_REGISTER).rect.height + dy);
        EXPECT_GE(gtkfe::ListLines(list.rect, resized), 3);
        EXPECT_EQ(Placed(resized, IDC_PAYEE).rect.width, Placed(base, IDC_PAYEE).rect.width + dx);
        // The right-hand buttons stay by the right edge, the bottom row by the bottom.
        EXPECT_EQ(resized.clientWidth - Placed(resized, IDC_DELETE).rect.Right(),
                  base.clientWidth - Placed(base, IDC_DELETE).rect.Right());
        EXPECT_EQ(resized.clientHeight - Placed(resized, IDC_NEW).rect.Bottom(),
                  base.clientHeight - Placed(base, IDC_NEW).rect.Bottom());
        // Each column of the list starts where the field above it shows its text.
        std::vector<int> columns = gtkfe::ListColumns(resized, list, m);
        int fields[] = {IDC_DATE, IDC_PAYEE, IDC_CREDIT, IDC_DEBIT};
        ASSERT_EQ(columns.size(), 5u);
        for (size_t i = 0; i < 4; ++i)
          EXPECT_EQ(list.rect.x + columns[i], Placed(resized, fields[i]).rect.x + (gtkfe::kEntryPadding + 1) * m.scale)
              << "column " << i + 1;
      }
    }
    checked = true;
  };
  DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_REGISTER), nullptr, RegisterProc, 0);
  EXPECT_TRUE(checked);
}

// A screen reader that names a field by a class name, or a total without its
// caption, leaves the person guessing.
TEST_F(LayoutTest, FieldsListAndTotalsOfTheRegisterAreNamedByTheirCaptions) {
  bool checked = false;
  checker_.check = [&](layer::Window& w) {
    Measurer measurer(kFonts[1]);
    WindowLayout layout = gtkfe::LayOut(w, measurer.metrics, measurer.Measure());
    struct Case {
      int id;
      const char* name;
    } cases[] = {{IDC_CHECKNUM, "Check#"},
                 {IDC_PAYEE, "Description"},
                 {IDC_DEBIT, "Debit"},
                 {IDC_REGISTER, "Check#, Date, Description, Credit, Debit, St."},
                 {IDC_BALANCEDAMOUNT, "Balanced Ammount"},
                 {IDC_BALANCETOTAL, "Balance"},
                 {IDC_NEW, ""}};
    for (const Case& c : cases) EXPECT_EQ(gtkfe::AccessibleLabel(layout, Placed(layout, c.id)), c.name) << c.id;
    checked = true;
  };
  DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_REGISTER), nullptr, RegisterProc, 0);
  EXPECT_TRUE(checked);
}

TEST_F(LayoutTest, TheAccountDialogHasNoControlCoveringAnotherAndItsTextsWhole) {
  bool checked = false;
  checker_.check = [&](layer::Window& w) {
    ExpectTidy("the account dialog", w);
    checked = true;
  };
  DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_ACCOUNT), nullptr, AccountProc, 0);
  EXPECT_TRUE(checked);
}

TEST_F(LayoutTest, TheChoiceOfAStatementsAccountHasNoControlCoveringAnotherAndItsTextsWhole) {
  bool checked = false;
  checker_.check = [&](layer::Window& w) {
    ExpectTidy("the choice of a statement's account", w);
    checked = true;
  };
  DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_CHOOSEACCOUNT), nullptr, AccountProc, 0);
  EXPECT_TRUE(checked);
}

TEST_F(LayoutTest, EveryMessageBoxOfTheProgramShowsItsTextWholeAndItsButtonsApart) {
  struct Message {
    const char* text;
    const char* caption;
    UINT style;
  };
  static const Message messages[] = {
      {"Please enter the Date.", "Data Entry", MB_OK | MB_ICONERROR},
      {"Enter or Select a Payee from the list", "Data Entry", MB_OK | MB_ICONERROR},
      {"Enter either debit or credit ammount, not both", "Data Entry", MB_OK | MB_ICONERROR},
      {"Account is not setup yet. Please setup Account", "Insert New Record", MB_OK | MB_ICONERROR},
      {"Can not change this record.\nRecord is read-only.", "Edit Record", MB_OK | MB_ICONERROR},
      {"Are you sure you want to permanetly remove\nall Reconciled transactions?\nThe transaction information will "
       "be lost!\nYou may need to backup your database file before proceeding.",
       "Warning", MB_OKCANCEL | MB_ICONWARNING},
      {"WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW", "Wide letters", MB_YESNOCANCEL},
      {"Can not open Database.", "RErivarude", MB_ICONERROR},
  };
  for (const Message& message : messages) {
    bool checked = false;
    checker_.check = [&](layer::Window& w) {
      ExpectTidy(message.text, w);
      checked = true;
    };
    MessageBoxA(nullptr, message.text, message.caption, message.style);
    EXPECT_TRUE(checked) << message.text;
  }
}

// A line read as one run of numbers and dates does not tell a listener
// which column a value stands in.
TEST(SpokenLineTest, EachColumnWithTextIsSaidAfterItsHeading) {
  const std::string headings = "Check#, Date, Description, Credit, Debit, St.";
  struct Case {
    const char* line;
    const char* spoken;
  } cases[] = {
      {"101\t12/01/2026\tRent\t\t5.00\tC", "Check# 101, Date 12/01/2026, Description Rent, Debit 5.00, St. C"},
      {"\t12/02/2026\tSalary\t1200.00\t", "Date 12/02/2026, Description Salary, Credit 1200.00"},
      {"a\tb\tc\td\te\tf\tg", "Check# a, Date b, Description c, Credit d, Debit e, St. f, g"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(gtkfe::SpokenLine(c.line, headings), c.spoken) << c.line;
  EXPECT_EQ(gtkfe::SpokenLine("x\ty", ""), "x, y");
}

TEST(ListSegmentsTest, ColumnsStartAtTheirTabStopsAndATooLongTextPushesTheNextColumnOn) {
  layer::Window list;
  list.kind = layer::Kind::ListBox;
  list.list.tabStops = {44, 94};
  FontMetrics m;
  m.averageWidth = 8;
  auto measure = [](const std::string& text) { return static_cast<int>(text.size()) * 10; };
  struct Case {
    const char* line;
    std::vector<std::pair<std::string, int>> segments;
  } cases[] = {
      {"101\t1/5/2003\tRent", {{"101", 2}, {"1/5/2003", 90}, {"Rent", 190}}},
      // Ending right on a stop, a column moves on to the next.
      {"\t01/15/2003\tRent", {{"01/15/2003", 90}, {"Rent", 2 + 188 + 64}}},
      {"\t\tRent", {{"Rent", 190}}},
      // 20 characters run past the second stop (190): the next stop after that is a default one.
      {"\tAAAAAAAAAAAAAAAAAAAA\tX", {{"AAAAAAAAAAAAAAAAAAAA", 90}, {"X", 2 + 188 + 2 * 64}}},
  };
  for (const Case& c : cases) {
    std::vector<gtkfe::Segment> got = gtkfe::Segments(list, c.line, m, measure);
    ASSERT_EQ(got.size(), c.segments.size()) << c.line;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].text, c.segments[i].first) << c.line;
      EXPECT_EQ(got[i].x, c.segments[i].second) << c.line << " segment " << i;
    }
  }
}

}  // namespace
