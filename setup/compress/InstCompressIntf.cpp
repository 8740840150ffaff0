#include "setup/compress/InstCompressIntf.h"

#ifdef _WIN32
std::unique_ptr<base::MemoryStream> ExpandCompressedResource(const std::string& ResName,
                                                             const std::string& ModuleFile) {
  TTandrelInstCompress compress;
  return compress.ExpandResource(ResName, ModuleFile);
}
#endif

#ifndef TANDREL_EXPAND_ONLY
void CompressFileToArchive(const std::string& ArchiveFile, base::Stream& Source,
                           const std::string& EntryName, int32_t Date, uint16_t Attr,
                           const TShowProgressEvent& Progress) {
  TTandrelInstCompress compress;
  compress.OnShowProgress = Progress;
  compress.AddToArchive(ArchiveFile, Source, EntryName, cmLH5, Date, Attr);
}
#endif
