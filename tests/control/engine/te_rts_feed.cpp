// te-rts-feed: one romanized word per line in, the m17n te-rts input method's
// Unicode Telugu for it out, one line each. For comparing by hand:
//   te-rts-feed < words.txt | paste words.txt -
#include <iostream>
#include <string>

#include "te_rts_peer.h"

int main() {
    vrayu::test::TeRtsPeer peer;
    if (!peer.ok()) {
        std::cerr << "te-rts-feed: the m17n input method te-rts is not available (install m17n-db)\n";
        return 1;
    }
    std::string line;
    while (std::getline(std::cin, line)) std::cout << peer.Convert(line) << '\n';
    return std::cout ? 0 : 1;
}
