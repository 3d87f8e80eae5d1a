// Our Unicode form against an independent peer, the m17n te-rts input method,
// on a corpus of Telugu words in RIT spelling. Where the two schemes differ
// by design, the difference is a row of kSchemeDifferences and the words it
// covers are left out; every other word must come out the same.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iomanip>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "te_rts_peer.h"
#include "unicode.h"

namespace vrayu {
namespace {

using Match = std::function<bool(std::string_view)>;

Match Contains(std::vector<std::string_view> parts) {
    return [parts](std::string_view w) {
        for (std::string_view p : parts)
            if (w.find(p) != std::string_view::npos) return true;
        return false;
    };
}

Match ContainsAnyOf(std::string_view letters) {
    return [letters](std::string_view w) { return w.find_first_of(letters) != std::string_view::npos; };
}

// `first` immediately followed by one of `next`.
Match Followed(std::string_view first, std::string_view next) {
    return [first, next](std::string_view w) {
        for (std::size_t i = 0; i + 1 < w.size(); ++i)
            if (first.find(w[i]) != std::string_view::npos && next.find(w[i + 1]) != std::string_view::npos)
                return true;
        return false;
    };
}

// The letters before which a lone nasal is the anusvara here (z and Z become j
// and J before the scan).
constexpr std::string_view kAnusvaraConsonants = "kKgGcCjJTDtdpfFbBlLsSHhvxXzZ";

// A run of vowel letters that is not one vowel spelling of the RIT table.
bool HasVowelRun(std::string_view w) {
    static const std::set<std::string_view> kSpellings = {"a", "A",  "aa", "i",  "I",  "ii", "ee", "ia", "u",
                                                          "U", "uu", "oo", "ua", "e",  "E",  "ae", "ai", "ei",
                                                          "o", "O",  "oa", "oe", "au", "ou", "ea"};
    constexpr std::string_view kVowels = "aAiIuUeEoO";
    std::size_t i = 0;
    while (i < w.size()) {
        if (kVowels.find(w[i]) == std::string_view::npos) {
            ++i;
            continue;
        }
        std::size_t j = i;
        while (j < w.size() && kVowels.find(w[j]) != std::string_view::npos) ++j;
        if (!kSpellings.contains(w.substr(i, j - i))) return true;
        i = j;
    }
    return false;
}

struct SchemeDifference {
    const char* what;  // te-rts versus this system
    Match covers;      // the RIT words that the difference may change
    const char* example;
    const char* ours;
    const char* teRts;
};

// ORDER: as in the report's table.
const SchemeDifference kSchemeDifferences[] = {
    {"jn: te-rts reads jña; here j + n (jña is typed j~n)", Contains({"jn"}), "jnAnam", "జ్నానం", "జ్ఞానం"},
    {"N: te-rts always writes ṇ; here a lone N before an anusvara consonant is the anusvara, as n and m",
     Followed("N", kAnusvaraConsonants), "kaNDa", "కండ", "కణ్డ"},
    {"Ru, RU: te-rts Ru is long ṝ; here Ru is ṛ and RU is ṝ", Contains({"Ru", "RU"}), "kRu", "కృ", "కౄ"},
    {"dd, tt: te-rts reads them as one key, so an h after them stays h and dd'/tt' are ḍḍ/ṭṭ; here d + dh, d + ḍ",
     Contains({"ddh", "ddH", "tth", "ttH", "dd'", "tt'"}), "buddhi", "బుద్ధి", "బుద్ద్హి"},
    {"nh: te-rts reads ṇ; here the anusvara before h", Contains({"nh", "nH"}), "sinha", "సింహ", "సిణ"},
    {"lh, Lh: te-rts reads ḷ; here l + h", Contains({"lh", "lH", "Lh", "LH"}), "lha", "ల్హ", "ళ"},
    {"ea: te-rts reads ē (RTS); here ī (RIT)", Contains({"ea"}), "kea", "కీ", "కే"},
    {"M: te-rts always writes the anusvara; here M alone before a vowel or a cluster letter is m",
     [](std::string_view w) {
         for (std::size_t i = 0; i + 1 < w.size(); ++i)
             if (w[i] == 'M' && kAnusvaraConsonants.find(w[i + 1]) == std::string_view::npos) return true;
         return false;
     },
     "aMya", "అమ్య", "అంయ"},
    {"n, m before w, W, V, P, N, q, Q, ~: te-rts writes the anusvara before every consonant but y and r; "
     "here only before kKgGcCjJTDtdpfFbBlLsSHhvxX",
     Followed("nm", "wWVPNqQ~"), "anwayam", "అన్వయం", "అంవయం"},
    {"F, Q, X, Y, Z, q: te-rts has no such keys and types the letter", ContainsAnyOf("FQXYZq"), "Ya", "య", "Yఅ"},
    {"V: te-rts reads v; here s, the letter both fonts draw for V", ContainsAnyOf("V"), "Va", "స", "వ"},
    {"r': te-rts reads vocalic r; here r and an apostrophe (r'' is ṟ in both)",
     [](std::string_view w) {
         for (std::size_t i = 0; i + 1 < w.size(); ++i)
             if (w[i] == 'r' && w[i + 1] == '\'' && (i + 2 >= w.size() || w[i + 2] != '\'')) return true;
         return false;
     },
     "kr'", "క్ర్'", "కృ"},
    {"RR: te-rts reads two vocalic r; here two ṟ", Contains({"RR"}), "RRa", "ఱ్ఱ", "ఋఋఅ"},
    {"~l, ~L: te-rts writes the vowel signs ౢ ౣ even alone; here the letters ఌ ౡ", Contains({"~l", "~L"}), "~l", "ఌ", "ౢ"},
    {"@n, @N: te-rts writes U+FFFD; here nakara pollu U+0C5D", Contains({"@n", "@N"}), "@n", "ౝ", "�"},
    {"m': te-rts writes the anusvara and an apostrophe; here m with virama", Contains({"m'"}), "m'", "మ్", "ం'"},
    {"N&: te-rts knows n& and m& only; here N& keeps ṇ in a cluster too", Contains({"N&"}), "N&Da", "ణ్డ", "ణ్&డ"},
    {"digits: te-rts writes Telugu digits; here digits stay", ContainsAnyOf("0123456789"), "1", "1", "౧"},
    {"|: te-rts writes the danda U+0964; here | stays (the font draws it as the danda)", ContainsAnyOf("|"), "|", "|",
     "।"},
    {"^: te-rts writes virama + ZWNJ; here a space", ContainsAnyOf("^"), "k^", "క్ ", "క్\u200C"},
    {"#: te-rts switches transliteration off until the next #; here #...# is kept and ## is one #", ContainsAnyOf("#"),
     "ka##", "క#", "క##"},
    {"vowel after vowel: te-rts writes an independent vowel; here the run is one syllable's vowels", HasVowelRun, "kAi",
     "కాి", "కాఇ"},
};

struct CorpusWord {
    std::string rit, dictionary;
};

std::vector<CorpusWord> LoadCorpus() {
    std::vector<CorpusWord> words;
    std::ifstream in(PEER_CORPUS);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const auto tab = line.find('\t');
        words.push_back({line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1)});
    }
    return words;
}

class PeerAgreement : public ::testing::Test {
protected:
    void SetUp() override {
        if (!peer.ok()) GTEST_FAIL() << "m17n te-rts is not available (install m17n-db)";
    }
    test::TeRtsPeer peer;
};

TEST_F(PeerAgreement, SchemeDifferencesAreReal) {
    for (const SchemeDifference& d : kSchemeDifferences) {
        SCOPED_TRACE(d.what);
        EXPECT_TRUE(d.covers(d.example)) << d.example;
        EXPECT_EQ(ConvertEnglishPaneUnicode(d.example), d.ours) << d.example;
        EXPECT_EQ(peer.Convert(d.example), d.teRts) << d.example;
    }
}

TEST_F(PeerAgreement, CorpusAgreesOutsideTheSchemeDifferences) {
    const std::vector<CorpusWord> corpus = LoadCorpus();
    std::set<std::string> distinct;
    for (const CorpusWord& w : corpus) distinct.insert(w.rit);
    ASSERT_GE(distinct.size(), 2000u);
    EXPECT_EQ(distinct.size(), corpus.size()) << "duplicate words in the corpus";

    int agree = 0, excluded = 0, excludedAgree = 0, disagree = 0;
    std::vector<int> perDifference(std::size(kSchemeDifferences));
    for (const CorpusWord& w : corpus) {
        const std::string ours = ConvertEnglishPaneUnicode(w.rit);
        if (!w.dictionary.empty()) {
            EXPECT_EQ(ours, w.dictionary) << w.rit;
        }
        const std::string theirs = peer.Convert(w.rit);
        const bool same = ours == theirs;
        agree += same;
        int rule = -1;
        for (std::size_t i = 0; i < std::size(kSchemeDifferences) && rule < 0; ++i)
            if (kSchemeDifferences[i].covers(w.rit)) rule = static_cast<int>(i);
        if (rule >= 0) {
            ++excluded;
            excludedAgree += same;
            ++perDifference[rule];
        } else if (!same) {
            ++disagree;
            ADD_FAILURE() << w.rit << ": ours " << ours << ", te-rts " << theirs;
        }
    }
    const int n = static_cast<int>(corpus.size());
    std::cout << std::fixed << std::setprecision(2) << "words " << n << ", same as te-rts " << agree << " ("
              << 100.0 * agree / n << "%); excluded by scheme differences " << excluded << " (" << excludedAgree
              << " of them the same anyway); compared " << n - excluded << ", agreeing " << (n - excluded - disagree)
              << " (" << (n == excluded ? 100.0 : 100.0 * (n - excluded - disagree) / (n - excluded)) << "%)\n";
    for (std::size_t i = 0; i < perDifference.size(); ++i)
        if (perDifference[i]) std::cout << "  " << perDifference[i] << "  " << kSchemeDifferences[i].what << '\n';
    RecordProperty("words", n);
    RecordProperty("same", agree);
    RecordProperty("excluded", excluded);
}

}  // namespace
}  // namespace vrayu
