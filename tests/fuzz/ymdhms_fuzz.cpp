// The date parser at every level: a text accepted as a full date and time
// is written back and read again to the same fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "functions/logic/ymdhms.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 256) return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (int level = 0; level <= 3; ++level) {
        for (bool two_digits : {false, true}) {
            tarn::fn::Ymdhms t;
            if (!tarn::fn::parseYmdhms(text, t, level, two_digits) || level != 1) continue;
            tarn::fn::Ymdhms back;
            if (!tarn::fn::parseYmdhms(tarn::fn::formatYmdhms(t, true), back, 1, false)) std::abort();
            if (back.year != t.year || back.month != t.month || back.day != t.day || back.hour != t.hour ||
                back.minute != t.minute || back.second != t.second)
                std::abort();
            tarn::fn::weekday(t);
            tarn::fn::timeCode(t);
        }
    }
    return 0;
}
