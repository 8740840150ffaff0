#include "base/win/SpinEdit.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

namespace base::win {

namespace {

// The arrows sit mid-range so that either can always be pressed; the value lives in the edit.
constexpr int kArrowsMiddle = 0x4000;

}  // namespace

void SpinEdit::Attach(int increment) const {
  const_cast<SpinEdit*>(this)->increment_ = increment;
  HWND arrows = Arrows();
  SendMessageA(arrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
  SendMessageA(arrows, UDM_SETRANGE32, 0, 2 * kArrowsMiddle);
  SendMessageA(arrows, UDM_SETPOS32, 0, kArrowsMiddle);
  MutableOwner().OnNotify(arrowsId_, UDN_DELTAPOS, [this](NMHDR* header) -> LRESULT {
    auto* change = reinterpret_cast<NMUPDOWN*>(header);
    if (change->iDelta != 0) Step(change->iDelta > 0 ? 1 : -1);
    return 1;  // the arrows' own position never moves
  });
}

void SpinEdit::SetBounds(std::optional<int> minimum, std::optional<int> maximum) {
  min_ = minimum;
  max_ = maximum;
}

int SpinEdit::Clamp(int value) const {
  if (min_ && value < *min_) value = *min_;
  if (max_ && value > *max_) value = *max_;
  return value;
}

namespace {

// Blanks around, an optional sign, decimal digits; none when it does not fit 32 bits.
std::optional<int> WholeNumber(const std::string& text) {
  const char* begin = text.c_str();
  while (*begin == ' ') ++begin;
  const char* digits = begin + (*begin == '-' || *begin == '+');
  if (*digits < '0' || *digits > '9') return std::nullopt;
  errno = 0;
  char* end = nullptr;
  // long is 32 bits on Windows and strtol saturates there; the range check needs more.
  const long long v = std::strtoll(begin, &end, 10);
  while (end && *end == ' ') ++end;
  if (errno == ERANGE || !end || *end != '\0' || v < INT_MIN || v > INT_MAX) return std::nullopt;
  return static_cast<int>(v);
}

}  // namespace

int SpinEdit::Value() const {
  const std::optional<int> v = WholeNumber(Text());
  return v ? Clamp(*v) : min_.value_or(0);
}

std::optional<int> SpinEdit::TryValue() const {
  const std::optional<int> v = WholeNumber(Text());
  if (!v || Clamp(*v) != *v) return std::nullopt;
  return v;
}

void SpinEdit::SetValue(int value) const { SetText(std::to_string(Clamp(value))); }

void SpinEdit::Step(int steps) const {
  long long v = static_cast<long long>(Value()) + static_cast<long long>(steps) * increment_;
  v = std::clamp<long long>(v, INT_MIN, INT_MAX);
  SetValue(static_cast<int>(v));
}

}  // namespace base::win
