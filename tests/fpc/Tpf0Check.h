// Second opinion on component streams: Free Pascal's ObjectBinaryToText, run as the
// separate program tpf0_to_text, turns a binary stream into the class library's text form.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace tpf0check {

// The text form of the stream; throws std::runtime_error with the checker's message when
// it refuses the stream.
std::string Tpf0ToText(const std::vector<uint8_t>& stream);

}  // namespace tpf0check
