#include "cache_switch.h"

#include <cstdlib>
#include <cstring>

namespace tarn {

bool CachesEnabled() {
    static const bool enabled = [] {
        const char* v = std::getenv("TARN_CACHES");
        return !(v && std::strcmp(v, "off") == 0);
    }();
    return enabled;
}

}  // namespace tarn
