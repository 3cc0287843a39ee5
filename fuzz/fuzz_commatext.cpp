// Arbitrary comma texts, as a template list value of the registry holds them (the list is
// shared with another program, and the hive is the user's to edit). Besides crashes and
// sanitizer reports it checks that whatever a text reads as writes back as a text that reads
// as the same items, so a template registered again keeps its file name and page.
#include "platform/StringList.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace kolva;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::string_view text(reinterpret_cast<const char*>(Data), Size);
    TStringList items, again;
    items.SetCommaText(text);
    again.SetCommaText(items.CommaText());
    if (again.Count() != items.Count()) std::abort();
    for (int i = 0; i < items.Count(); ++i)
        if (again[i] != items[i]) std::abort();
    return 0;
}
