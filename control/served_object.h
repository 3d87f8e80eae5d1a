// Objects the library serves to its host (controls, property pages). Each one
// alive keeps the library loaded: DllCanUnloadNow answers S_OK only when none
// is left and no lock is held.
#pragma once

namespace vrayu {

class ServedObject {
public:
    ServedObject();
    ~ServedObject();
    ServedObject(const ServedObject&) = delete;
    ServedObject& operator=(const ServedObject&) = delete;

    // Served objects alive in this process.
    static int LiveCount();
};

}  // namespace vrayu
