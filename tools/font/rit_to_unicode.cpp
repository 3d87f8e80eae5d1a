// Reads romanized Telugu words, one per line, and writes "word<TAB>Unicode
// Telugu" lines, typing each word into the m17n "te rts" input method. Used
// once to make the word list of the font's rendering check; the list is then
// read over by hand and kept in the tests.
#include <m17n.h>

#include <cstdio>
#include <iostream>
#include <string>

namespace {

// Types one word followed by a space (which commits the last syllable) and
// returns the committed text without that space.
std::string Type(MInputContext* ic, const std::string& word) {
    MText* out = mtext();
    for (char c : word + " ") {
        const char name[2] = {c, 0};
        MSymbol key = msymbol(c == ' ' ? "space" : name);
        if (minput_filter(ic, key, nullptr) == 0) minput_lookup(ic, key, nullptr, out);
    }
    unsigned char buf[1024];
    int n = mconv_encode_buffer(msymbol("utf-8"), out, buf, sizeof buf);
    m17n_object_unref(out);
    std::string text(reinterpret_cast<char*>(buf), n > 0 ? n : 0);
    while (!text.empty() && text.back() == ' ') text.pop_back();
    // A word-final m is the anusvara in the romanization the engine reads.
    const std::string finalM = "\u0C2E\u0C4D";
    if (text.ends_with(finalM)) text.replace(text.size() - finalM.size(), finalM.size(), "\u0C02");
    return text;
}

}  // namespace

int main() {
    M17N_INIT();
    MInputMethod* im = minput_open_im(msymbol("te"), msymbol("rts"), nullptr);
    if (!im) {
        std::cerr << "rit_to_unicode: the m17n input method te-rts is missing (m17n-db)\n";
        return 1;
    }
    MInputContext* ic = minput_create_ic(im, nullptr);
    std::string line;
    while (std::getline(std::cin, line)) {
        if (line.empty() || line[0] == '#') continue;
        minput_reset_ic(ic);
        std::cout << line << '\t' << Type(ic, line) << '\n';
    }
    minput_destroy_ic(ic);
    minput_close_im(im);
    M17N_FINI();
    return 0;
}
