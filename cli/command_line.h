#pragma once

// The one grammar of veldra-cli's sub-commands and the one number syntax.
//
// An option with a value is written "--name value" or "--name=value"; a flag
// ("--json") takes no value; an argument not starting with '-' (or "-" alone) is an
// operand. Every number is [sign] digits [. digits] [(e|E) [sign] digits], read the
// same whatever the locale; hex, "inf", "nan" and blanks are not numbers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cli/commands.h"

namespace veldra::cli {

class TCommandLine {
  public:
    explicit TCommandLine(const Args& args) : args_(args) {}

    // Moves to the next argument; false after the last.
    bool Next();
    // The option's name ("--dpi" of "--dpi=300") or the operand.
    const std::string& Name() const { return name_; }
    bool IsOption() const { return name_.size() > 1 && name_[0] == '-'; }
    // The option's value: the text after '=' or the next argument, which it takes.
    // Nothing when the option is the last argument.
    std::optional<std::string> Value();
    // A flag given as "--flag=value".
    bool HasInlineValue() const { return inline_.has_value(); }

  private:
    const Args& args_;
    size_t next_ = 0;
    std::string name_;
    std::optional<std::string> inline_;
};

// A finite number in the syntax above; false for anything else.
bool ParseNumber(std::string_view text, double& value);
// A number of that syntax with no fraction, within lo..hi.
bool ParseWholeNumber(std::string_view text, int32_t lo, int32_t hi, int32_t& value);

}  // namespace veldra::cli
