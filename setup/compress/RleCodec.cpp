#include "setup/compress/Codecs.h"

void RleDecode(TCodecDriver& d, int32_t expandedSize) {
  uint8_t previous = 0;
  int32_t written = 0;
  for (;;) {
    uint8_t c = d.ReadByte();
    if (d.endOfInput) break;
    int32_t n = 1;
    uint8_t value = c;
    if (c == 0x94) {
      uint8_t count = d.ReadByte();
      if (d.endOfInput) count = 0;
      if (count == 0) {
        n = 1;
      } else {
        n = count - 1;
        value = previous;
      }
    }
    // Never write past the size the run says it expands to.
    if (n > expandedSize - written) {
      d.damaged = true;
      break;
    }
    for (int32_t i = 0; i < n; ++i) d.WriteByte(value);
    written += n;
    previous = c;
  }
  // Data that end short of the size the run says would leave a pre-sized stream
  // padded with zeros, which the byte sum cannot see.
  if (written < expandedSize) d.damaged = true;
}
