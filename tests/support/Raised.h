// Test support: what an action raised, as text, so that a table row can pin a message the
// same way it pins a result.
#pragma once

#include "platform/SysUtils.h"

#include <string>

namespace kolva::test {

/// The message of the E that Action raises, or "(no error)"; any other exception passes
/// through and fails the test.
template <class E = Exception, class F>
std::string ErrorOf(F&& Action) {
    try {
        Action();
    } catch (const E& e) {
        return e.Message();
    }
    return "(no error)";
}

/// What Action returns (a text), or the message of the E it raises.
template <class E = Exception, class F>
std::string ResultOf(F&& Action) {
    try {
        return std::string(Action());
    } catch (const E& e) {
        return e.Message();
    }
}

} // namespace kolva::test
