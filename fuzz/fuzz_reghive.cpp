// The hive reader on arbitrary bytes: it must accept or reject every input without crashing,
// and whatever it accepts must write back to a text that reads back to the same hive (the
// second writing equals the first).
#include "platform/RegHive.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    using namespace kolva;
    const std::string_view text(reinterpret_cast<const char*>(Data), Size);
    std::string once;
    try {
        once = WriteHive(ReadHive(text, "HKEY_CURRENT_USER", "fuzz.reg"));
    } catch (const ERegHiveError&) {
        return 0;
    }
    if (WriteHive(ReadHive(once, "HKEY_CURRENT_USER", "fuzz.reg")) != once) std::abort();
    return 0;
}
