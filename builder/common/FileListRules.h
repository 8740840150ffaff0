// The texts of a project file's row in the builder's file lists (the file groups editor
// and the file picker), apart from the windows: its name and location parts and its
// time stamp.
#pragma once
#include <string>

// Behind the last "\" or ":"; the part up to and including it.
std::string FileNamePart(const std::string& path);
std::string FilePathPart(const std::string& path);

// A date-time of the class library (days since 30 December 1899, the fraction the time).
struct CalendarTime {
  int Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
};
CalendarTime DecodeDateTime(double value);
// The list's "TimeStamp" text: short date, a blank, long time; the time left out at exactly
// midnight; empty when the stamp is 0 or negative. The two formatters give the locale's
// texts of a calendar time.
template <class DateText, class TimeText>
std::string TimeStampText(double stamp, DateText date, TimeText time) {
  if (!(stamp > 0)) return {};
  CalendarTime t = DecodeDateTime(stamp);
  std::string text = date(t);
  if (t.Hour != 0 || t.Minute != 0 || t.Second != 0) text += " " + time(t);
  return text;
}
