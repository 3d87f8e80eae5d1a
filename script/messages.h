// The message table: every message and error text of the library, keyed by
// its number. An error code of a statement is the number of its message;
// the number's range gives the severity.
#pragma once

#include <string_view>

namespace tarn {

struct Message {
    int code;
    const char* text;
};

// Text of a message number, or empty when the table has none.
std::string_view MessageText(int code);

enum class Severity { Minor, Moderate, Severe };
constexpr Severity SeverityOf(int code) {
    return code <= 2000 ? Severity::Minor : code <= 3000 ? Severity::Moderate : Severity::Severe;
}

// The whole table, sorted by code (tests walk it).
const Message* Messages(int* count);

}  // namespace tarn
