// A font as the markup declares it: <Font id="1" name="..." size="18"
// bold="true" underline="true" italic="true" default="true"/>. The size is
// in pixels (the character height). The Win32 backend turns a FontSpec into
// a GDI font; the portable core only passes it to the text measurer and the
// painter.
#pragma once

#include <string>

namespace ui {

struct FontSpec {
  int id = -1;
  std::wstring face;
  int size = 12;
  bool bold = false;
  bool underline = false;
  bool italic = false;

  bool operator==(const FontSpec& o) const {
    return id == o.id && face == o.face && size == o.size && bold == o.bold &&
           underline == o.underline && italic == o.italic;
  }
};

}  // namespace ui
