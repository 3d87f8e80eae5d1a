#include "commands.h"
#include "names.h"

#include <gtest/gtest.h>
#include <systemd/sd-bus.h>

#include <set>
#include <string>

using namespace vrayu::conversation;

// Every byte, in every position, gives names the bus accepts; different
// names stay different unless they differ only in the case of ASCII letters.
TEST(ConversationNames, EveryByteMapsToValidDistinctNames) {
    std::set<std::string> buses, paths;
    for (int b = 1; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string name = "x" + one + one;
        for (const std::string& n : {one, name}) {
            const auto bus = BusName(n);
            const auto path = TopicPath(n);
            ASSERT_TRUE(bus && path) << b;
            EXPECT_TRUE(sd_bus_service_name_is_valid(bus->c_str())) << *bus;
            EXPECT_TRUE(sd_bus_object_path_is_valid(path->c_str())) << *path;
            const bool seen = b >= 'a' && b <= 'z';  // as its capital, earlier
            EXPECT_EQ(buses.insert(*bus).second, !seen) << *bus;
            EXPECT_EQ(paths.insert(*path).second, !seen) << *path;
        }
    }
    EXPECT_EQ(*BusName("VrayuEditor"), "org.vrayu.Conversation.vrayueditor");
    EXPECT_EQ(*TopicPath("System"), "/org/vrayu/Conversation/system");
    EXPECT_EQ(*BusName("9lives"), "org.vrayu.Conversation._39lives");
}

TEST(ConversationNames, EmptyAndOverlongNamesHaveNoMapping) {
    EXPECT_FALSE(BusName(""));
    EXPECT_FALSE(TopicPath(""));
    EXPECT_TRUE(TopicPath(std::string(255, '.')));
    EXPECT_FALSE(TopicPath(std::string(256, 'a')));
    // The bus limits names to 255 characters: escaped bytes take three.
    EXPECT_TRUE(BusName(std::string(232, 'a')));
    EXPECT_FALSE(BusName(std::string(233, 'a')));
    EXPECT_FALSE(BusName(std::string(100, '.')));
}

TEST(ConversationCommands, BracketsArgumentsAndMalformedText) {
    const auto cmds = ParseCommands(R"( [New] [Open("/tmp/a(1)].txt")][SaveAs( x.txt )] )");
    ASSERT_TRUE(cmds);
    ASSERT_EQ(cmds->size(), 3u);
    EXPECT_EQ((*cmds)[0].name, "New");
    EXPECT_FALSE((*cmds)[0].has_argument);
    EXPECT_EQ((*cmds)[1].name, "Open");
    EXPECT_EQ((*cmds)[1].argument, "/tmp/a(1)].txt");
    EXPECT_EQ((*cmds)[2].argument, "x.txt");
    for (const char* bad : {"", "New", "[New", "[]", "[Open(x]", "[New]x", "[(x)]"})
        EXPECT_FALSE(ParseCommands(bad)) << bad;
}
