// The clipboard's text.
#pragma once
#include <string>

namespace base::win {

class Clipboard {
public:
  static bool SetText(const std::string& text);  // false when the clipboard is busy
  static std::string Text();                     // "" when it holds no text
  static bool HasText();
  static void Clear();
};

}  // namespace base::win
