// ANSI (code page 1252) string helpers with the class library's comparison rules.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace base {

// CompareText/SameText fold only 'a'..'z'; the Ansi* forms also fold 1252 letters.
int CompareText(const std::string& a, const std::string& b);
bool SameText(const std::string& a, const std::string& b);
int AnsiCompareText(const std::string& a, const std::string& b);
bool AnsiSameText(const std::string& a, const std::string& b);
std::string UpperCase(const std::string& s);
std::string LowerCase(const std::string& s);
std::string AnsiUpperCase(const std::string& s);
std::string AnsiLowerCase(const std::string& s);
unsigned char AnsiUpperChar(unsigned char c);
unsigned char AnsiLowerChar(unsigned char c);

std::string Trim(const std::string& s);  // drops bytes <= ' ' at both ends
std::string IntToStr(long long v);
// Upper-case hexadecimal, at least digits wide (leading zeros).
std::string IntToHex(uint64_t v, int digits);
// StrToIntDef: decimal or "$"/"0x" hex, optional sign; def when not a whole number.
long long StrToIntDef(const std::string& s, long long def);
bool TryStrToInt(const std::string& s, long long& out);
// Position of needle in hay without regard to ASCII case, or npos.
size_t PosText(const std::string& needle, const std::string& hay, size_t from = 0);
std::string IncludeTrailingBackslash(const std::string& s);
std::string ExcludeTrailingBackslash(const std::string& s);
std::string ExtractFileName(const std::string& path);  // after the last '\', '/' or ':'
std::string ExtractFilePath(const std::string& path);  // up to and with that separator
std::string ExtractFileExt(const std::string& path);   // from the last '.' of the name
std::string ChangeFileExt(const std::string& path, const std::string& ext);
// Lines as the class library's string list keeps them: CR LF, CR or LF ends a line, and a
// final line break ends the last line.
std::vector<std::string> SplitLines(const std::string& text);

}  // namespace base
