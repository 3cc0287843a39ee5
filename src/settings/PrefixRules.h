// The rules for the three prefixes of generated names (the state field's, the read method's
// and the write method's) that the options dialog checks before it stores them; every other
// way of changing the prefixes checks the same.
#pragma once

#include <string>

namespace kolva {

/// Raises Exception "%s is not a valid prefix" for the first of the state field, read method
/// and write method prefixes that is not an identifier (an empty one included), else
/// "Prefixes must have unique values (%s)" for the first pair, in the order state/read,
/// state/write, read/write, equal without regard to case, filled with the pair's first.
void CheckPrefixes(const std::string& StateField, const std::string& ReadMethod,
                   const std::string& WriteMethod);

} // namespace kolva
