#include "property_bag.h"

#include <QFont>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vrayu;

namespace {

TEST(PropertyBag, DefaultsAreNotStored) {
    MemoryPropertyBag bag;
    bag.WriteProperty("A", 0, 0);
    bag.WriteProperty("B", false, 0);  // False equals 0
    bag.WriteProperty("C", QString(), QString());
    bag.WriteProperty("D", QFont("Arial", 10), QFont("Arial", 10));
    EXPECT_TRUE(bag.Names().isEmpty());
    bag.WriteProperty("E", QVariant(), 0);  // Null differs from 0
    bag.WriteProperty("F", "felugau", "felugau");
    bag.WriteProperty("G", "x", "felugau");
    EXPECT_EQ(bag.Names(), (QStringList{"E", "G"}));
    // Writing the default later removes the stored value.
    bag.WriteProperty("g", "felugau", "felugau");
    EXPECT_EQ(bag.Names(), QStringList{"E"});
    EXPECT_EQ(bag.ReadProperty("missing", 7), QVariant(7));
    EXPECT_FALSE(bag.ReadProperty("e", 0).isValid());
    EXPECT_EQ(bag.ReadLog(), (QStringList{"missing", "e"}));
}

TEST(PropertyBag, TextFormRoundTrip) {
    MemoryPropertyBag bag;
    QString glyphs;
    for (int c : {13, 10, 9, 92, 0x80, 0x9F, 0xA0, 0xFF, 0x2028}) glyphs += QChar(static_cast<char16_t>(c));
    bag.WriteProperty("Text", "a=b\r\n" + glyphs, QString());
    bag.WriteProperty("Color", static_cast<int>(0x80000005u), 0);
    bag.WriteProperty("Big", qlonglong(1) << 40, 0);
    bag.WriteProperty("Size", 16.5, 0);
    bag.WriteProperty("Flag", true, false);
    bag.WriteProperty("Font", QFont("DejaVu Sans", 11), QFont());
    bag.WriteProperty("Null", QVariant(), 0);
    const QString text = bag.ToText();
    EXPECT_FALSE(text.contains('\r'));
    auto back = MemoryPropertyBag::FromText(text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->Names(), bag.Names());
    for (const QString& name : bag.Names())
        EXPECT_TRUE(SamePropertyValue(back->Value(name), bag.Value(name))) << name.toStdString();
    EXPECT_EQ(back->Value("Text").toString(), "a=b\r\n" + glyphs);
    EXPECT_EQ(back->Value("Color").toInt(), static_cast<int>(0x80000005u));
    EXPECT_EQ(back->Value("Font").value<QFont>().family(), "DejaVu Sans");

    QTemporaryDir dir;
    const QString path = dir.filePath("tel1.bag");
    ASSERT_TRUE(bag.SaveFile(path));
    auto loaded = MemoryPropertyBag::LoadFile(path);
    ASSERT_TRUE(loaded.has_value());
    EXPECT_EQ(loaded->ToText(), text);
    EXPECT_FALSE(MemoryPropertyBag::LoadFile(dir.filePath("missing")));
    EXPECT_FALSE(MemoryPropertyBag::FromText("novalue\n"));
    EXPECT_FALSE(MemoryPropertyBag::FromText("A=int:x\n"));
    EXPECT_FALSE(MemoryPropertyBag::FromText("A=string:\\q\n"));
    EXPECT_FALSE(MemoryPropertyBag::FromText("A=what:1\n"));
}

}  // namespace
