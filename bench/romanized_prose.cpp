#include "romanized_prose.h"

#include <array>
#include <string_view>

namespace vrayu::bench {
namespace {

constexpr std::array<std::string_view, 120> kWords = {
    "svAgatam",     "telugu",
    "bhAsha",       "nEnu",
    "mIru",         "manamu",
    "vALLu",        "idi",
    "adi",          "ikkaDa",
    "akkaDa",       "eppuDu",
    "ippuDu",       "ekkaDa",
    "enduku",       "ela",
    "emiTi",        "cAlA",
    "konni",        "anni",
    "prati",        "rOju",
    "samayam",      "illu",
    "Uru",          "dESam",
    "prapancam",    "manishi",
    "strI",         "puruShuDu",
    "pillalu",      "amma",
    "nAnna",        "anna",
    "akka",         "tammuDu",
    "cellelu",      "snEhituDu",
    "guruvu",       "SishyuDu",
    "pustakam",     "kalam",
    "kAgitam",      "baDi",
    "kaLASAla",     "viSvavidyAlayam",
    "udyOgam",      "pani",
    "Dabbu",        "dhanam",
    "annam",        "nILLu",
    "pAlu",         "kUra",
    "paNDu",        "pUvu",
    "ceTTu",        "nadi",
    "samudram",     "AkASam",
    "sUryuDu",      "candruDu",
    "nakshatram",   "vAna",
    "gAli",         "enDa",
    "callani",      "vEDi",
    "peddadi",      "cinnadi",
    "manci",        "ceDDa",
    "andamaina",    "kotta",
    "pAta",         "vacci",
    "veLLi",        "cUsi",
    "cEsi",         "ceppi",
    "vrAsAnu",      "cadivAnu",
    "nErcukunnAnu", "tinnAnu",
    "tAgAnu",       "paDukunnAnu",
    "lEcAnu",       "naDicAnu",
    "parigettAnu",  "AlOcincAnu",
    "kRtajnatalu",  "namaskAram",
    "dhanyavAdAlu", "kshaminci",
    "dayacEsi",     "avunu",
    "kAdu",         "bahuSA",
    "tappakuNDA",   "ekkuva",
    "takkuva",      "mundu",
    "venuka",       "pakkana",
    "lOpala",       "bayaTa",
    "paina",        "kinda",
    "madhya",       "dvArA",
    "kOsam",        "gurinci",
    "tO",           "lO",
    "ku",           "nunDi",
    "varaku",       "mariyu",
    "kAni",         "leka",
};

}  // namespace

std::string RomanizedProse(std::size_t bytes) {
    std::string text;
    text.reserve(bytes + 32);
    std::uint32_t state = 12345;
    int inSentence = 0;
    while (text.size() < bytes) {
        state = state * 1664525u + 1013904223u;  // fixed sequence for every run
        text.append(kWords[(state >> 8) % kWords.size()]);
        if (++inSentence == 9) {
            text.append((state >> 20) % 4 == 0 ? ".\r\n" : ". ");
            inSentence = 0;
        } else {
            text.push_back(' ');
        }
    }
    text.resize(bytes);
    return text;
}

std::string RomanizedProseWithLiteralRuns(std::size_t bytes) {
    const std::string prose = RomanizedProse(bytes);
    std::string text;
    text.reserve(bytes + bytes / 4);
    int words = 0;
    for (char c : prose) {
        text.push_back(c);
        if (c == ' ' && ++words % 5 == 0) text.append("#OK# ");
    }
    text.resize(bytes);
    return text;
}

}  // namespace vrayu::bench
