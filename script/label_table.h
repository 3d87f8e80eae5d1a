// The labels of one run of a script text, found in one pass on the first
// jump, so that a goto or gosub costs the same however far its label is.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tarn {

class LabelTable {
public:
    // `enabled` false searches the text on every call.
    explicit LabelTable(bool enabled) : enabled_(enabled) {}

    // Offset of the first label line ":label" of the text, or -1: what a
    // search from the start finds. A table entry is used only while the
    // line at its offset is still that label; a miss is searched for.
    long Find(const char* text, std::uint32_t length, std::string_view label);

private:
    void Build(const char* text, std::uint32_t length);

    bool enabled_;
    bool built_ = false;
    std::unordered_map<std::string, std::uint32_t> first_;  // upper-case name -> offset
    // The label found last, as asked: a loop jumps to the same one again.
    std::string last_label_;
    long last_at_ = -1;
};

}  // namespace tarn
