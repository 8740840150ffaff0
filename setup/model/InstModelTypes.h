// Enumerations and sets of the project model. Each enumeration is one byte, in the
// ordinal order the engine stores and compares; the project file stores them by name.
// TUpdateMode, TWindowsVersion(s) and TDateTime come from the installation services.
#pragma once
#include <cstdint>

#include "setup/services/InstTypes.h"

enum TItemPosition : uint8_t { ipTopLeft, ipTopRight, ipBottomLeft, ipBottomRight, ipCentre };

enum TTandrelDialogType : uint8_t {
  dtWelcome, dtLicense, dtReadme, dtUser, dtDestination, dtSetupType, dtCustom,
  dtSelectFolder, dtStartCopying, dtProgress, dtBillboards, dtComplete, dtExit, dtBlank
};
constexpr int kDialogTypeCount = 14;
// One bit per TTandrelDialogType, two bytes.
using TTandrelDialogTypes = uint16_t;

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = uint8_t;

enum TExtensionStyle : uint8_t { esExecutable, esDLL };
enum TTandrelValueType : uint8_t { vtString, vtDWord, vtBinary };
enum TDisplayType : uint8_t { dtNormal, dtMaximized, dtMinimized };
enum TPMGroupType : uint8_t { gtDefault, gtPrograms, gtStartMenu, gtDesktop, gtStartup, gtSendTo };

using TColor = int32_t;
// A window handle as the extension interface passes it (HWND on Windows).
using TWindowHandle = uintptr_t;

template <class E>
constexpr unsigned SetBit(E e) { return 1u << static_cast<unsigned>(e); }
template <class S, class E>
constexpr bool InSet(S set, E e) { return (static_cast<unsigned>(set) & SetBit(e)) != 0; }
