#pragma once

#include <stdexcept>
#include <string>

namespace html {

// Ends a conversion: a bad character code, a read error of the input or a
// write error of the output. The page tail is written before it reaches the
// caller (as far as the output still accepts it).
class ConversionError : public std::runtime_error
{
public:
    explicit ConversionError(const std::string &message)
        : std::runtime_error(message)
    {
    }
};

// The HTML output refused a write (disk full, closed pipe).
class OutputError : public ConversionError
{
public:
    using ConversionError::ConversionError;
};

} // namespace html
