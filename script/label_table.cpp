#include "label_table.h"

#include <algorithm>

#include "context.h"
#include "line_reader.h"

namespace tarn {
namespace {

std::string UpperName(std::string_view name) {
    std::string key(name);
    for (char& c : key) c = UpperAscii(c);
    return key;
}

}  // namespace

void LabelTable::Build(const char* text, std::uint32_t length) {
    first_.clear();
    built_ = true;
    char line[kLineMax + 2];
    std::uint32_t pos = 0, next = 0;
    while (true) {
        const long at = ReadLineAt(text, length, pos, line, &next);
        if (at == -1) return;
        pos = next;
        if (at < 0 || line[0] != ':') continue;
        std::size_t n = 1;
        while (!EndsLabelName(line[n])) ++n;
        first_.try_emplace(UpperName(std::string_view(line + 1, n - 1)), static_cast<std::uint32_t>(at));
    }
}

long LabelTable::Find(const char* text, std::uint32_t length, std::string_view label) {
    // A name with a blank or ';' in it can only match a longer label line:
    // the table, keyed by the word after ':', has no entry for it.
    if (!enabled_ || std::any_of(label.begin(), label.end(), EndsLabelName)) return ScanForLabel(text, length, label);
    char line[kLineMax + 2];
    std::uint32_t next = 0;
    const auto still_there = [&](long at) {
        return ReadLineAt(text, length, static_cast<std::uint32_t>(at), line, &next) == at && IsLabelLine(line, label);
    };
    if (last_at_ >= 0 && label == last_label_ && still_there(last_at_)) return last_at_;
    for (int pass = 0; pass < 2; ++pass) {
        if (!built_ || pass == 1) Build(text, length);
        const auto it = first_.find(UpperName(label));
        if (it == first_.end()) break;
        if (still_there(it->second)) {
            last_label_ = label;
            last_at_ = it->second;
            return last_at_;
        }
        // The text changed under the table: read it again once.
    }
    return ScanForLabel(text, length, label);
}

}  // namespace tarn
