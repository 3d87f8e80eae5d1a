// The item-list family: "item" built-ins.
#include "builtins.h"
#include "functions/family_util.h"
#include "functions/logic/itemlist.h"

namespace tarn::fn {
namespace {

void ItemCount(Call& c) { c.ReturnInt(static_cast<std::int32_t>(itemCount(c.Str(0), itemDelimiter(c.Str(1))))); }
void ItemExtract(Call& c) { ReturnTextShowingMemError(c, itemExtract(c.Int(0), c.Str(1), itemDelimiter(c.Str(2)))); }
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
