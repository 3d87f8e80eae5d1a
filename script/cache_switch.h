// Whether the interpreter uses its speed caches (compiled lines, the label
// table, resolved variable slots). They never change a result; setting
// TARN_CACHES=off in the environment turns them off so that tests can run
// every script both ways and compare.
#pragma once

namespace tarn {

bool CachesEnabled();

}  // namespace tarn
