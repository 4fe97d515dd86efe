#include "cli/CliArgs.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "astro/DateTime.h"

namespace tavik::cli {

namespace {
bool Contains(const std::vector<std::string>& list, const std::string& s) {
    return std::find(list.begin(), list.end(), s) != list.end();
}
}  // namespace

CliArgs::CliArgs(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                 const std::vector<std::string>& flagOptions,
                 const std::vector<std::string>& repeatable) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") throw CliHelp{};
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            std::string name = a.substr(2);
            std::optional<std::string> inlineValue;
            if (auto eq = name.find('='); eq != std::string::npos) {
                inlineValue = name.substr(eq + 1);
                name.resize(eq);
            }
            if (Contains(flagOptions, name)) {
                if (inlineValue) throw CliError("option --" + name + " takes no value");
                values_[name].push_back("");
            } else if (Contains(valueOptions, name)) {
                std::string value;
                if (inlineValue) {
                    value = *inlineValue;
                } else {
                    if (i + 1 >= args.size()) throw CliError("option --" + name + " needs a value");
                    value = args[++i];
                }
                auto& slot = values_[name];
                if (!slot.empty() && !Contains(repeatable, name))
                    throw CliError("option --" + name + " given twice");
                slot.push_back(value);
            } else {
                throw CliError("unknown option " + a);
            }
        } else {
            positional_.push_back(a);
        }
    }
}

bool CliArgs::Has(const std::string& name) const { return values_.count(name) != 0; }

std::optional<std::string> CliArgs::Value(const std::string& name) const {
    auto it = values_.find(name);
    if (it == values_.end() || it->second.empty()) return std::nullopt;
    return it->second.back();
}

std::vector<std::string> CliArgs::Values(const std::string& name) const {
    auto it = values_.find(name);
    return it == values_.end() ? std::vector<std::string>{} : it->second;
}

int ParseInt(const std::string& text, const char* what, int min, int max) {
    long long value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    if (first != last && *first == '+') ++first;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ec == std::errc::result_out_of_range || (ec == std::errc() && ptr == last && (value < min || value > max)))
        throw CliError(std::string(what) + " must be between " + std::to_string(min) + " and " +
                       std::to_string(max) + ", got '" + text + "'");
    if (ec != std::errc() || ptr != last || first == last)
        throw CliError(std::string("bad ") + what + ": '" + text + "'");
    return static_cast<int>(value);
}

double ParseDouble(const std::string& text, const char* what, double limit) {
    double v = 0.0;
    try {
        size_t used = 0;
        v = std::stod(text, &used);
        if (used != text.size()) throw CliError("");
    } catch (...) {
        throw CliError(std::string("bad ") + what + ": '" + text + "'");
    }
    if (!std::isfinite(v) || v < -limit || v > limit)
        throw CliError(std::string(what) + " must be a number between " + FormatDouble(-limit) + " and " +
                       FormatDouble(limit) + ", got '" + text + "'");
    return v;
}

namespace {
std::vector<std::string> Split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (true) {
        size_t pos = text.find(sep, start);
        parts.push_back(text.substr(start, pos == std::string::npos ? std::string::npos : pos - start));
        if (pos == std::string::npos) break;
        start = pos + 1;
    }
    return parts;
}
}  // namespace

CliDate ParseDate(const std::string& text) {
    auto parts = Split(text, '-');
    if (parts.size() != 3) throw CliError("bad date '" + text + "' (want YYYY-MM-DD)");
    CliDate d{ParseInt(parts[0], "year"), ParseInt(parts[1], "month"), ParseInt(parts[2], "day")};
    if (d.year < 1901 || d.year > 2099) throw CliError("bad date '" + text + "' (year must be between 1901 and 2099)");
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > DaysInMonth(d.year, d.month))
        throw CliError("bad date '" + text + "' (no such day)");
    return d;
}

CliTime ParseTime(const std::string& text) {
    auto parts = Split(text, ':');
    if (parts.size() != 2 && parts.size() != 3) throw CliError("bad time '" + text + "' (want HH:MM:SS)");
    CliTime t{ParseInt(parts[0], "hour"), ParseInt(parts[1], "minute"),
              parts.size() == 3 ? ParseInt(parts[2], "second") : 0};
    if (t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59)
        throw CliError("bad time '" + text + "'");
    return t;
}

CliDegMin ParseDegMin(const std::string& text) {
    auto parts = Split(text, ':');
    if (parts.size() != 2) throw CliError("bad angle '" + text + "' (want D:M)");
    const bool negative = !parts[0].empty() && parts[0][0] == '-';
    int degrees = ParseInt(parts[0], "degrees");
    int minutes = ParseInt(parts[1], "minutes");
    if (minutes < 0 || minutes > 59) throw CliError("bad minutes in '" + text + "'");
    if (negative) minutes = -minutes;
    return {degrees, minutes};
}

std::string FormatDouble(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", value);
    return buf;
}

}  // namespace tavik::cli
