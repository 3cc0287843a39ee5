#include "settings/PrefixRules.h"

#include "platform/SysUtils.h"

namespace kolva {

void CheckPrefixes(const std::string& StateField, const std::string& ReadMethod,
                   const std::string& WriteMethod) {
    const std::string* const prefixes[] = {&StateField, &ReadMethod, &WriteMethod};
    for (const std::string* prefix : prefixes)
        if (!IsValidIdent(*prefix)) throw Exception(Format("%s is not a valid prefix", *prefix));
    for (int first = 0; first < 2; ++first)
        for (int second = first + 1; second < 3; ++second)
            if (SameText(*prefixes[first], *prefixes[second]))
                throw Exception(Format("Prefixes must have unique values (%s)", *prefixes[first]));
}

} // namespace kolva
