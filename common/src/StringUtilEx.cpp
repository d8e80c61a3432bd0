#include "StringUtilEx.h"

namespace Wren
{
    void StringUtilEx::replace(std::string& text, const std::string& pattern,
                               const std::string& replacement)
    {
        if (pattern.empty())
            return;
        std::string::size_type at = text.find(pattern);
        while (at != std::string::npos)
        {
            text.replace(at, pattern.size(), replacement);
            at = text.find(pattern, at + replacement.size());
        }
    }
}
