#include "setup/compress/Codecs.h"
void LzhDecode(TCodecDriver& d, int32_t expandedSize) {}
#ifndef TANDREL_EXPAND_ONLY
void LzhEncode(TCodecDriver& d) {}
#endif
