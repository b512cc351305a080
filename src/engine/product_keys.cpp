#include "engine/product_keys.h"

#include <vector>

#include "script/text.h"

bool NamesOwnProductKey(std::string_view productName) {
    const std::string name = TrimBlanks(productName);
    if (name.empty()) return false;
    std::vector<std::string> parts;
    const int count = SplitText(parts, name, "\\");
    for (int i = 1; i <= count; ++i) {
        const std::string part = TrimBlanks(parts[static_cast<size_t>(i)]);
        if (part.empty() || part == "." || part == "..") return false;
    }
    return true;
}
