// The m17n te-rts input method (Debian m17n-db, driven through libm17n) as an
// independent peer: it turns RIT romanization into Unicode Telugu key by key.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace vrayu::test {

class TeRtsPeer {
public:
    // Opens the input method; ok() tells whether m17n and te-rts were found.
    TeRtsPeer();
    ~TeRtsPeer();
    TeRtsPeer(const TeRtsPeer&) = delete;
    TeRtsPeer& operator=(const TeRtsPeer&) = delete;

    bool ok() const { return state_ != nullptr; }

    // Feeds the ASCII word key by key, then a space (te-rts decides a final
    // "m" on the key after it) and returns the committed text in UTF-8 without
    // that space. The context is reset between words.
    std::string Convert(std::string_view word);

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace vrayu::test
