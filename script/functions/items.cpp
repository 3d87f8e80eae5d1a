// The item-list family: "item" built-ins.
#include "builtins.h"
#include "functions/family_util.h"
#include "functions/logic/charset.h"
#include "functions/logic/itemlist.h"
#include "string_heap.h"

namespace tarn::fn {
namespace {

// What the last count or extraction learnt of a list held by a variable,
// kept while that variable keeps the same value: a loop over the items of
// a long list then reads it once, not once per item.
struct ListMemo {
    VariableStamp source;
    std::string delim;
    bool lead_bytes = false;  // the code page the memo was made in
    std::size_t length = 0;   // of the list, which cannot change under the memo
    long count = -1;          // -1 not counted yet
    ItemPlace place;
};
thread_local ListMemo t_memo;

// The memo of argument `arg` (a lent variable), or null.
ListMemo* MemoOf(Call& c, int arg, const std::string& delim) {
    const VariableStamp source = c.Source(arg);
    if (!source.known()) return nullptr;
    if (t_memo.source != source || t_memo.delim != delim || t_memo.lead_bytes != hasLeadBytes()) {
        t_memo = ListMemo{};
        t_memo.source = source;
        t_memo.delim = delim;
        t_memo.lead_bytes = hasLeadBytes();
        t_memo.length = c.Str(arg).size();
    }
    return &t_memo;
}

// The list of argument `arg`, measured once per memo.
std::string_view ListOf(Call& c, int arg, const ListMemo* memo) {
    if (!memo) return c.Str(arg);
    return {HeapText(S(c.Context()).heap, c.Arg(arg).text), memo->length};
}

void ItemCount(Call& c) {
    const std::string delim = itemDelimiter(c.Str(1));
    ListMemo* memo = MemoOf(c, 0, delim);
    if (memo && memo->count >= 0) return c.ReturnInt(static_cast<std::int32_t>(memo->count));
    const long n = itemCount(ListOf(c, 0, memo), delim);
    if (memo) memo->count = n;
    c.ReturnInt(static_cast<std::int32_t>(n));
}

void ItemExtract(Call& c) {
    const std::string delim = itemDelimiter(c.Str(2));
    ListMemo* memo = MemoOf(c, 1, delim);
    const std::string_view list = ListOf(c, 1, memo);
    ReturnTextShowingMemError(
        c, memo ? itemExtractFrom(c.Int(0), list, delim, memo->place) : itemExtract(c.Int(0), list, delim));
}
void ItemInsert(Call& c) { ReturnTextOrMemError(c, itemInsert(c.Str(0), c.Int(1), c.Str(2), itemDelimiter(c.Str(3)))); }
void ItemRemove(Call& c) { ReturnTextOrMemError(c, itemRemove(c.Int(0), c.Str(1), itemDelimiter(c.Str(2)))); }
void ItemLocate(Call& c) {
    c.ReturnInt(static_cast<std::int32_t>(itemLocate(c.Str(0), c.Str(1), itemDelimiter(c.Str(2)))));
}
void ItemSort(Call& c) { ReturnTextOrMemError(c, itemSort(c.Str(0), itemDelimiter(c.Str(1)), false)); }
void ItemSortNc(Call& c) { ReturnTextOrMemError(c, itemSort(c.Str(0), itemDelimiter(c.Str(1)), true)); }

// The user picks one item of the list; Cancel is the user's cancel.
void ItemSelect(Call& c) {
    auto items = itemSplit(c.Str(1), itemDelimiter(c.Str(2)));
    auto chosen = SelectItem(c, c.Str(0), items);
    if (!chosen) return c.Fail(kCodeCancel);
    ReturnTextOrMemError(c, *chosen);
}

constexpr BuiltinEntry kItems[] = {
    {"itemcount", ItemCount},   {"itemextract", ItemExtract}, {"iteminsert", ItemInsert}, {"itemremove", ItemRemove},
    {"itemlocate", ItemLocate}, {"itemselect", ItemSelect},   {"itemsort", ItemSort},     {"itemsortnc", ItemSortNc},
};

}  // namespace
}  // namespace tarn::fn

TARN_FAMILY(items, tarn::fn::kItems)
