#pragma once
// Argument parsing shared by the tavik-cli subcommands. Options are "--name value"
// pairs or "--flag"; anything else is positional. Parse errors throw CliError with
// a message for stderr. "--help" or "-h" in place of an option throws CliHelp:
// the dispatcher then prints the subcommand's usage, whatever else was given.

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tavik::cli {

struct CliError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct CliHelp {};

class CliArgs {
public:
    // `valueOptions` take a value ("--date 2004-01-01"); `flagOptions` do not.
    // Options listed in `repeatable` may be given more than once.
    CliArgs(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
            const std::vector<std::string>& flagOptions = {},
            const std::vector<std::string>& repeatable = {});

    bool Has(const std::string& name) const;
    std::optional<std::string> Value(const std::string& name) const;
    std::vector<std::string> Values(const std::string& name) const;
    const std::vector<std::string>& Positional() const { return positional_; }

private:
    std::map<std::string, std::vector<std::string>> values_;
    std::vector<std::string> positional_;
};

struct CliDate { int year, month, day; };
struct CliTime { int hour, minute, second; };
// Degrees and minutes as the store holds them: west and south negative in both
// parts ("-74:30" is degrees -74, minutes -30; "-0:30" is degrees 0, minutes -30).
struct CliDegMin { int degrees, minutes; };

// YYYY-MM-DD, a day of the calendar within 1901..2099 (the span of the engine's
// day scale): 2026-02-30 is refused, never carried into March.
CliDate ParseDate(const std::string& text);
CliTime ParseTime(const std::string& text);      // HH:MM:SS or HH:MM
CliDegMin ParseDegMin(const std::string& text);  // D:M, sign applies to both
// Numbers from the command line are range-checked: outside [min, max] is a
// CliError naming the option and the range. The default range keeps every sum
// and product the subcommands form with a number well inside int.
inline constexpr int kCliNumberLimit = 1000000;
int ParseInt(const std::string& text, const char* what, int min = -kCliNumberLimit,
             int max = kCliNumberLimit);
// Only finite numbers within [-limit, limit] are accepted.
double ParseDouble(const std::string& text, const char* what, double limit = 1e9);

// Formats a double with 17 significant digits (round-trip exact).
std::string FormatDouble(double value);

}  // namespace tavik::cli
