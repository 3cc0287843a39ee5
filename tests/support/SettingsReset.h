// Test support: the process-wide settings back at their defaults when a test ends, so that
// a test that changes options, preferences or the flags they drive leaves no trace.
#pragma once

namespace kolva::test {

/// Resets the options, the code generation options, the preferences and the code model's
/// display and naming flags on destruction (and on construction).
class TSettingsReset {
public:
    TSettingsReset() { Reset(); }
    ~TSettingsReset() { Reset(); }
    TSettingsReset(const TSettingsReset&) = delete;
    TSettingsReset& operator=(const TSettingsReset&) = delete;

    static void Reset();
};

} // namespace kolva::test
