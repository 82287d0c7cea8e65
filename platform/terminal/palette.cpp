#include "platform/terminal/palette.h"

namespace term {

namespace {

Look Mono(Style style) {
  Look look;
  switch (style) {
    case Style::TitleActive: look.reverse = look.bold = true; break;
    case Style::MenuHighlight: look.reverse = true; break;
    case Style::Field: look.underline = true; break;
    case Style::FieldFocused: look.reverse = true; break;
    case Style::Selected: look.underline = look.bold = true; break;
    case Style::SelectedFocused: look.reverse = look.bold = true; break;
    case Style::Caret: look.underline = true; break;
    // Inside a reversed field, selected text shows the other way round.
    case Style::TextSelected: look.underline = look.bold = true; break;
    case Style::ButtonDefault: look.bold = true; break;
    case Style::ButtonFocused: look.reverse = look.bold = true; break;
    case Style::Disabled: look.dim = true; break;
    case Style::Shadow: look.dim = true; break;
    case Style::IconAlert:
    case Style::IconNote:
    case Style::Message: look.bold = true; break;
    default: break;
  }
  return look;
}

}  // namespace

Look LookOf(Style style, int colours) {
  if (colours < 8) return Mono(style);
  const bool many = colours >= 16;
  const short black = 0, red = 1, yellow = 3, blue = 4, cyan = 6, grey = 7;
  const short dark = many ? 8 : black, white = many ? 15 : cyan;
  const short focus = colours >= 256 ? 229 : many ? 11 : yellow;
  switch (style) {
    case Style::Screen: return Look{};
    case Style::TitleActive:
    case Style::MenuHighlight:
    case Style::SelectedFocused:
    case Style::TextSelected:
    case Style::ButtonFocused: return Look{grey, blue, true};
    case Style::TitleInactive: return Look{grey, dark};
    case Style::Field:
    case Style::ListArea: return Look{black, white};
    // Windows draws a dotted frame round that line; underlined, a terminal can show it.
    case Style::Caret: return Look{black, white, false, false, true};
    case Style::FieldFocused: return Look{black, focus};
    case Style::Selected: return Look{grey, dark, true};
    case Style::ButtonDefault: return Look{black, grey, true};
    case Style::Disabled: return Look{dark, grey, false, false, false, !many};
    case Style::Shadow: return Look{many ? dark : grey, black, false, false, false, true};
    case Style::IconAlert: return Look{red, grey, true};
    case Style::IconNote: return Look{blue, grey, true};
    case Style::Message: return Look{-1, -1, true};
    default: return Look{black, grey};
  }
}

}  // namespace term
