// Script-defined dialogs as data: definitions read into forms, the values
// stored back, the box picture of dialogbox.
#include <gtest/gtest.h>

#include <map>

#include "errors.h"
#include "functions/logic/dialog_model.h"

namespace tarn::fn {
namespace {

VariableReader From(const std::map<std::string, std::string>& vars) {
    return [vars](const std::string& n) -> std::optional<std::string> {
        const auto it = vars.find(n);
        if (it == vars.end()) return std::nullopt;
        return it->second;
    };
}

std::map<std::string, std::string> Dialog(std::initializer_list<std::pair<const std::string, std::string>> controls) {
    std::map<std::string, std::string> v{
        {"dformat", "PELDLGED,5.0"}, {"dx", "1"}, {"dy", "2"}, {"dwidth", "3"}, {"dheight", "4"}};
    v["dnumcontrols"] = std::to_string(controls.size());
    for (const auto& c : controls) v[c.first] = c.second;
    return v;
}

TEST(DialogModel, DefinitionFieldsQuotesAndDefaults) {
    EXPECT_EQ(definitionFields(R"( 1 ,"a, ""b""",'c',`d`,)"),
              (std::vector<std::string>{"1", "a, \"b\"", "c", "d", ""}));
    Form f;
    ASSERT_EQ(
        buildDialogForm("D", From(Dialog({{"d01", "DEFAULT,default,DEFAULT,DEFAULT,EditBox,Who,Name"}})), '\t', &f), 0);
    ASSERT_EQ(f.controls.size(), 1u);
    const FormControl& c = f.controls[0];
    EXPECT_EQ((std::vector<int>{c.x, c.y, c.width, c.height}), (std::vector<int>{8, 16, 44, 32}));
    EXPECT_EQ(c.variable, "who");
    EXPECT_EQ((std::vector<int>{f.x, f.y, f.width, f.height}), (std::vector<int>{1, 2, 3, 4}));
}

TEST(DialogModel, ErrorsOfTheDescription) {
    Form f;
    auto code = [&f](std::map<std::string, std::string> v) { return buildDialogForm("d", From(v), '\t', &f); };
    auto v = Dialog({{"d01", "1,1,1,1,PUSHBUTTON,x,OK,0"}});
    EXPECT_EQ(code(v), 0);  // a push button may have value 0
    v["dnumcontrols"] = "101";
    EXPECT_EQ(code(v), err::DialogTooManyItems);
    v["dnumcontrols"] = "2";
    EXPECT_EQ(code(v), err::DialogControlMissing);
    EXPECT_EQ(code(Dialog({{"d01", "1,1,1,1,RADIOBUTTON,x,A"}})), err::DialogBadValue);
    EXPECT_EQ(code(Dialog({{"d01", "1,1,wide,1,EDITBOX,x,A"}})), err::DialogBadPlace);
    EXPECT_EQ(code(Dialog({{"d01", "1,1,1,1"}})), err::DialogBadControlType);
    EXPECT_EQ(code(Dialog({{"d01", "1,1,1,1,EDITBOX,abcdefghijabcdefghijabcdefghijk,A"}})), err::VariableNameTooLong);
    v = Dialog({});
    v.erase("dwidth");
    EXPECT_EQ(code(v), err::DialogBadPlace);
}

TEST(DialogModel, StoredValuesFollowTheControls) {
    const auto vars = Dialog({{"d01", "1,1,1,1,RADIOBUTTON,size,S,1"},
                              {"d02", "1,1,1,1,RADIOBUTTON,size,L,2"},
                              {"d03", "1,1,1,1,CHECKBOX,opt,A,1"},
                              {"d04", "1,1,1,1,CHECKBOX,opt,B,2"},
                              {"d05", "1,1,1,1,EDITBOX,who"},
                              {"d06", "1,1,1,1,FILELISTBOX,file,*.txt"}});
    auto withNow = vars;
    withNow["size"] = "7";  // no radio button checked: size keeps its value
    withNow["opt"] = "3";
    Form f;
    ASSERT_EQ(buildDialogForm("d", From(withNow), '\t', &f), 0);
    EXPECT_TRUE(f.controls[2].checked && f.controls[3].checked);
    f.Click(3);  // B unchecked: its bit cleared, A's kept
    f.controls[5].items = {"[..]", "a.txt"};
    f.controls[5].selected = {1};
    const auto out = formResults(f, From(withNow), '\t', "/home/u");
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].variable, "opt");
    EXPECT_EQ(out[0].integer, 1);
    EXPECT_EQ(out[1].variable, "who");
    EXPECT_EQ(out[2].text, "/home/u/a.txt");
    f.Click(1);  // "L" checks and "S" stays unchecked
    f.controls[5].selected.clear();
    const auto again = formResults(f, From(withNow), '\t', "/");
    EXPECT_EQ(again[0].variable, "size");
    EXPECT_EQ(again[0].integer, 2);
    EXPECT_EQ(again.back().text, "NOFILESELECTED");
}

TEST(DialogModel, BoxPictureBecomesControls) {
    Form f;
    const BoxResult r =
        buildBoxForm("T", "Name: [who    ]\n(c=1 Red) (c=2 Blue)\n<OK=1> a (b\n", From({{"c", "2"}}), '\t', &f);
    ASSERT_EQ(r.error, 0);
    ASSERT_EQ(f.controls.size(), 6u);
    EXPECT_EQ(f.controls[1].kind, ControlKind::EditBox);
    EXPECT_EQ(f.controls[1].x, 6 * 4);
    EXPECT_EQ(f.controls[1].width, 9 * 4);
    EXPECT_TRUE(f.controls[3].checked);     // Blue: c is 2
    EXPECT_EQ(f.controls[5].text, "a (b");  // an unclosed bracket is text
    EXPECT_EQ(f.controls[4].value, 1);
    EXPECT_EQ(buildBoxForm("T", std::string(20, '\n'), From({}), '\t', &f).error, 0);  // 20 lines
    EXPECT_EQ(buildBoxForm("T", std::string(21, '\n'), From({}), '\t', &f).error, err::DialogBoxTooLarge);
    EXPECT_TRUE(buildBoxForm("T", "|f=/etc/*|\n", From({}), '\t', &f).badMask);
}

}  // namespace
}  // namespace tarn::fn
