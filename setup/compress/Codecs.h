// The built-in codecs. Each takes its input from the driver's ReadByte and gives its
// output to WriteByte; decoders produce at most expandedSize bytes.
#pragma once
#include <cstdint>

#include "setup/compress/CodecDriver.h"

void RleDecode(TCodecDriver& d, int32_t expandedSize);
void LzhDecode(TCodecDriver& d, int32_t expandedSize);
void Lh5Decode(TCodecDriver& d, int32_t expandedSize);
#ifndef TANDREL_EXPAND_ONLY
void LzhEncode(TCodecDriver& d);
void Lh5Encode(TCodecDriver& d);
#endif
