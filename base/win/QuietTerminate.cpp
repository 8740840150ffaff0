// Linked into the programs a setup package carries. The library's own terminate handler
// prints the uncaught exception's demangled type on stderr before it aborts: its demangler
// and the formatted printing behind it are some 70 KB of every program, and a windowed
// program's stderr goes nowhere. Ending the same way without the text is all it needs.
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
