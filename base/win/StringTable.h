// Texts of the running program's string table.
#pragma once
#include <string>

namespace base::win {

// The text of this id; "" when the table has none.
std::string LoadStr(unsigned id);

}  // namespace base::win
