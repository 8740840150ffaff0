// Plain procedures over the compression component: one component per call.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "setup/compress/InstCompress.h"

#ifdef _WIN32
// The expanded "TCOMPRESS" resource ResName of ModuleFile (empty: this program),
// positioned at 0; the caller owns it.
std::unique_ptr<base::MemoryStream> ExpandCompressedResource(const std::string& ResName,
                                                             const std::string& ModuleFile);
#endif

#ifndef TANDREL_EXPAND_ONLY
// Adds Source (from its position) to ArchiveFile as EntryName with method "LH5".
void CompressFileToArchive(const std::string& ArchiveFile, base::Stream& Source,
                           const std::string& EntryName, int32_t Date, uint16_t Attr,
                           const TShowProgressEvent& Progress);
#endif
