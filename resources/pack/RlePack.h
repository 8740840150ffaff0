// The only RLE encoder there is: it turns the programs' pictures into "RLE" runs at
// build time. The programs themselves only ever expand that method.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Escape byte of the method: 0x94 n repeats the previous byte n - 1 more times, and
// 0x94 0 stands for one byte 0x94. After an escape the previous byte is 0x94.
std::vector<uint8_t> RlePack(const std::vector<uint8_t>& in);
