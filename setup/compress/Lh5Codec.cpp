#include "setup/compress/Codecs.h"
void Lh5Decode(TCodecDriver& d, int32_t expandedSize) {}
#ifndef TANDREL_EXPAND_ONLY
void Lh5Encode(TCodecDriver& d) {}
#endif
