// Converting romanized text word by word. A byte that no replacement rule
// reads, that is not a letter and not "&" splits the conversion cleanly: the
// rules never match across it (no rule's find text holds it), and the
// syllable scan copies it through and starts afresh behind it. So the
// conversion of "word sep word" is the conversion of each word with the
// separator between, and a word met before can be copied from a cache.
// Shared by every output form, like the syllable scan.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vrayu {

// Bytes at which the conversion may be cut (see above); the same for every
// font, so "|", which one font's rules read, is never a separator.
const std::array<bool, 256>& WordSeparators();

// Converted words keyed by their romanized text; bounded, so memory stays
// in proportion to the vocabulary, not to the text.
class WordCache {
public:
    WordCache();
    // The conversion of `word` (whose hash is `hash`), or nullptr; valid
    // until the next Insert.
    const std::string* Find(std::string_view word, std::uint64_t hash) const;
    void Insert(std::string_view word, std::uint64_t hash, std::string_view converted);

    static constexpr std::size_t kMaxWord = 64;  // longer words are not kept
    static constexpr std::size_t kMaxEntries = 1 << 16;

private:
    struct Entry {
        std::uint64_t hash = 0;
        std::string key;  // empty: free slot (the empty word is never kept)
        std::string value;
    };
    void Grow();

    std::vector<Entry> slots_;
    std::size_t used_ = 0;
};

// Walks `text`: each word (a run of non-separators) goes through
// form.ConvertWord(word, out) unless the cache knows it; each run of
// separators through form.Separators(run, out).
template <class Form>
void ConvertByWords(std::string_view text, Form& form, WordCache& cache, std::string& out) {
    const std::array<bool, 256>& sep = WordSeparators();
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const std::size_t start = i;
        std::uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a while looking for the word's end
        while (i < n && !sep[p[i]]) {
            hash = (hash ^ p[i]) * 0x100000001b3ull;
            ++i;
        }
        if (i > start) {
            const std::string_view word = text.substr(start, i - start);
            if (word.size() > WordCache::kMaxWord) {
                form.ConvertWord(word, out);
            } else if (const std::string* known = cache.Find(word, hash)) {
                out.append(*known);
            } else {
                const std::size_t before = out.size();
                form.ConvertWord(word, out);
                cache.Insert(word, hash, std::string_view(out).substr(before));
            }
        }
        const std::size_t gap = i;
        while (i < n && sep[p[i]]) ++i;
        if (i > gap) form.Separators(text.substr(gap, i - gap), out);
    }
}

}  // namespace vrayu
