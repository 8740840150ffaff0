#include "setup/compress/ArchiveWriter.h"

#ifndef TANDREL_EXPAND_ONLY

TArchiveEntry CompressArchiveEntry(base::Stream& Dest, base::Stream& Source, const std::string& Name, int32_t Date,
                                   uint16_t Attr, uint8_t Method, const TShowProgressEvent& Progress) {
  TTandrelInstCompress compress;
  compress.OnShowProgress = Progress;
  TArchiveEntry record;
  record.FileDate = Date;
  record.Attributes = Attr;
  std::string id = Method < 5 ? TTandrelInstCompress::MethodIDs[Method] : "   ";
  return compress.CompressToArchive(Dest, Source, Name, record, id, Method);
}

TArchiveWriter::TArchiveWriter(base::Stream& Archive) : archive_(Archive) {
  TTandrelInstCompress compress;
  compress.InitHeader(header_, TTandrelInstCompress::MethodIDs[cmLH5], caMulti, 0);
  archive_.SetPosition(0);
  WriteHeaderTo(archive_, header_);
}

void TArchiveWriter::Add(base::Stream& Entry, int64_t Count, const TArchiveEntry& Record) {
  archive_.SetPosition(end_);
  if (Count > 0) archive_.CopyFrom(Entry, Count);
  end_ += Count;
  header_.ExpandedSize =
      static_cast<int32_t>(static_cast<uint32_t>(header_.ExpandedSize) + static_cast<uint32_t>(Record.ExpandedSize));
}

void TArchiveWriter::Finish() {
  archive_.SetPosition(0);
  WriteHeaderTo(archive_, header_);
  archive_.SetPosition(end_);
}

#endif
