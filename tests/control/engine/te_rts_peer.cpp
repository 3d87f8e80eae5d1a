#include "te_rts_peer.h"

#include <m17n.h>

#include <vector>

namespace vrayu::test {

struct TeRtsPeer::State {
    MInputMethod* im = nullptr;
    MInputContext* ic = nullptr;
};

namespace {

// Appends what the input method commits for `key`; a key it does not handle
// is typed as itself, as an editor would.
void Feed(MInputContext* ic, MSymbol key, char typed, MText* out) {
    if (minput_filter(ic, key, nullptr)) return;
    MText* produced = mtext();
    const int handled = minput_lookup(ic, key, nullptr, produced);
    mtext_cat(out, produced);
    m17n_object_unref(produced);
    if (handled < 0 && typed) mtext_cat_char(out, static_cast<unsigned char>(typed));
}

std::string Utf8(MText* text) {
    std::vector<unsigned char> buf(static_cast<std::size_t>(mtext_len(text)) * 4 + 8);
    const int n = mconv_encode_buffer(Mcoding_utf_8, text, buf.data(), static_cast<int>(buf.size()));
    return n > 0 ? std::string(buf.begin(), buf.begin() + n) : std::string();
}

}  // namespace

TeRtsPeer::TeRtsPeer() {
    M17N_INIT();
    auto s = std::make_unique<State>();
    s->im = minput_open_im(msymbol("te"), msymbol("rts"), Mnil);
    if (!s->im) return;
    s->ic = minput_create_ic(s->im, nullptr);
    if (!s->ic) {
        minput_close_im(s->im);
        return;
    }
    state_ = std::move(s);
}

TeRtsPeer::~TeRtsPeer() {
    if (state_) {
        minput_destroy_ic(state_->ic);
        minput_close_im(state_->im);
    }
    M17N_FINI();
}

std::string TeRtsPeer::Convert(std::string_view word) {
    if (!state_) return {};
    MText* out = mtext();
    for (char c : word) {
        const char name[2] = {c, '\0'};
        Feed(state_->ic, msymbol(name), c, out);
    }
    Feed(state_->ic, msymbol(" "), ' ', out);
    Feed(state_->ic, Mnil, '\0', out);  // commits whatever is still pending
    std::string text = Utf8(out);
    m17n_object_unref(out);
    minput_reset_ic(state_->ic);
    if (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

}  // namespace vrayu::test
