#include "mail_tables.h"

namespace vrayu::mail {
namespace {

constexpr MenuRow kMenus[] = {
    {"&File", "mnuPrintMessage", "&Print Message"},
    {"&File", "mnuPrinterSetup", "Prin&ter Setup..."},
    {"&File", nullptr, nullptr},
    {"&File", "mnuExit", "E&xit"},
    {"&Edit", "mnuDelete", "Delete"},
    {"&Mail", "mnuLogon", "Lo&gon"},
    {"&Mail", "mnuLogoff", "Log&off"},
    {"&Mail", nullptr, nullptr},
    {"&Mail", "mnuUpdateList", "Update Message List"},
    {"&Options", "mnuOptionsMail", "&Mail..."},
    {"&Options", "mnuFontsScreen", "&Screen..."},
    {"&Options", "mnuFontsPrinter", "&Printer..."},
    {"&Options", "mnuDisplayTools", "&Display Tools", true, true},
    {"&Address", "mnuAddressBook", "Show Address Book"},
    {"Window", "mnuCascade", "&Cascade"},
    {"Window", "mnuTileHorizontal", "Tile Horizontally"},
    {"Window", "mnuTileVertical", "Tile Vertically"},
    {"Window", "mnuArrangeIcons", "Arrange Icons"},
    {"&Help", "mnuAbout", "&About"},
};

constexpr MailToolButton kButtons[] = {
    {6, "tool6", "&Compose"},    {7, "tool7", "&Reply"},  {8, "tool8", "Reply &All"}, {9, "tool9", "&Forward"},
    {10, "tool10", "&Previous"}, {11, "tool11", "&Next"}, {12, "tool12", "&Delete"},
};
static_assert(kButtons[0].index == kActionCompose && kButtons[1].index == kActionReply &&
                  kButtons[2].index == kActionReplyAll && kButtons[3].index == kActionForward,
              "the compose buttons' indices are the compose action codes");

}  // namespace

std::span<const MenuRow> MailMenuTable() { return kMenus; }
std::span<const MailToolButton> MailToolButtons() { return kButtons; }

}  // namespace vrayu::mail
