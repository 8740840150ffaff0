// What the registry, INI files and shortcuts editors decide without a window: names of
// new items, the DWORD dialog's number, the fixed INI files, the shortcut dialog's texts.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "setup/model/InstModelTypes.h"

using TNameList = std::vector<std::string>;

// stem + the smallest n from 1 + suffix that none of `siblings` is called, without regard
// to case ("New Key #" gives "New Key #1", "New Ini File #" with ".ini" "New Ini File #1.ini").
std::string NewItemName(const std::string& stem, const TNameList& siblings, const std::string& suffix = "");
// NewItemName among the names the items of a collection carry in `name`.
template <class Items, class Item>
std::string NewItemName(const std::string& stem, const Items& items, std::string Item::*name,
                        const std::string& suffix = "") {
  TNameList siblings;
  for (const Item* item : items) siblings.push_back(item->*name);
  return NewItemName(stem, siblings, suffix);
}

// The DWORD dialog's text read as the class library's StrToInt reads it: optional blanks
// and sign, decimal digits, or hexadecimal ones after "$", "x" or "0x". Hexadecimal text
// gives the 32-bit pattern ("$FFFFFFFB" is -5), decimal text must fit a signed 32-bit
// number. Nothing when the text is no number.
std::optional<int32_t> DWordFromText(const std::string& text);

// "WIN.INI", "SYSTEM.INI" and "PROTOCOL.INI", in this case only: never renamed or deleted.
bool IsFixedIniFile(const std::string& nodeText);

// The value list's picture: 2 for a string, 3 for a DWORD or binary value.
int ValueImageIndex(TTandrelValueType style);

// ------------------------------------------------------------------ the shortcut dialog

// "[" + group + "]\" + the file name without its folder: a packaged file as a command.
std::string ProjectFileReference(const std::string& group, const std::string& fileName);
// "[" + group + "]": the folder a packaged file lands in.
std::string GroupFolderReference(const std::string& group);
// The start-in list: the names of the directory macros in table order, then the text
// before the first "=" of each line of the project's InstFolders.
TNameList StartInFolders(const TNameList& instFolders);
// The description a picked file gives: its product name, or without one the file name
// without folder and extension.
std::string DescriptionFromVersion(const std::string& productName, const std::string& sourceFile);
// The SourceFile a confirmed shortcut keeps: the file picked last, or the command itself
// when none was picked.
std::string StoredSourceFile(const std::string& picked, const std::string& command);
