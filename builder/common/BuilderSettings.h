// The builder's own registry key, window positions kept under it, named settings,
// temporary file names and the short size text of the builder's file lists.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

// "\Software\" + company + "\" + product + "\" + version + "\".
std::string ComposeBuilderRegistryKey(const std::string& companyName, const std::string& productName,
                                      const std::string& productVersion);

// Up to 1,048,576 bytes: kilobytes as "1,024KB"; above: megabytes as "1MB"; rounded,
// digits grouped with the separator.
std::string FormatSizeKMText(int64_t bytes, const std::string& thousandSeparator);

// What a form's stored position gives, decided apart from the window.
struct TStoredFormPosition {
  std::optional<int32_t> Top, Left, Width, Height, State;
};
struct TFormPlacement {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  int32_t State = 0;  // 0 normal, 2 maximised (a minimised form comes back normal)
};
// keyExists false, or a value the form needs missing: centred at its current size.
// A dialog-style form takes only Top and Left.
TFormPlacement DecideFormPlacement(bool keyExists, const TStoredFormPosition& stored, bool dialogStyle,
                                   int32_t screenWidth, int32_t screenHeight, const TFormPlacement& current);

// The form's key below the builder's key: "Forms\" + name.
std::string FormPositionKey(const std::string& builderKey, const std::string& formName);

// The text the builder shows for a file size (user's thousands separator).
std::string FormatSizeKM(int64_t bytes);

// A new empty file "Zem....tmp" in the temporary folder; its full name. The caller
// deletes it. Raises base::EFCreateError when no name can be had.
std::string NewTempFileName();

#ifdef _WIN32
// Computed from the version block of the program's own file on first use; the program
// entry asks for it before any form exists.
const std::string& BuilderRegistryKey();

// The form's window (a top-level window) under its component name ("frmBuilder").
void SaveFormPosition(HWND form, const std::string& formName);
void RestoreFormPosition(HWND form, const std::string& formName);

void WriteBuilderSetting(const std::string& name, const std::string& value);
std::string ReadBuilderSetting(const std::string& name, const std::string& defaultValue);
#endif
