// The environment family.
#include "builtins.h"
#include "errors.h"
#include "functions/family_util.h"

#include <cstdlib>

extern char** environ;

namespace tarn::fn {
namespace {

void Environment(Call& c) {
    const char* v = std::getenv(std::string(c.Str(0)).c_str());
    ReturnTextOrMemError(c, v ? v : "");
}

// Sets a variable of the process environment (inherited by programs the
// script starts); an empty value removes it.
void EnvironSet(Call& c) {
    std::string name(c.Str(0)), value(c.Str(1));
    if (name.empty() || name.find('=') != std::string::npos) return c.Fail(err::EnvironSetNotEnoughEnvironmentSpace);
    int rc = value.empty() ? unsetenv(name.c_str()) : setenv(name.c_str(), value.c_str(), 1);
    if (rc != 0) return c.Fail(err::EnvironSetNotEnoughEnvironmentSpace);
    c.ReturnInt(1);
}

// "NAME=value" entries separated by the item delimiter.
void EnvItemize(Call& c) {
    std::string out, delim = ItemDelim(c);
    for (char** e = environ; e && *e; ++e) {
        if (!out.empty()) out += delim;
        out += *e;
    }
    ReturnTextOrMemError(c, out);
}

constexpr BuiltinEntry kEnviron[] = {
    {"environment", Environment},
    {"environset", EnvironSet},
    {"envitemize", EnvItemize},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(environment, tarn::fn::kEnviron)
