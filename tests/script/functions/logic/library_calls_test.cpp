// Loading libraries and calling into them below the interpreter: the
// reasons a load fails, and calls of every type word (the test library
// call_target.c, libc).
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "functions/logic/foreign_call.h"
#include "functions/logic/library_load.h"
#include "temp_dir.h"

namespace tarn::fn {
namespace {

TEST(LibraryLoad, ReasonsOfFailuresAreToldApart) {
    EXPECT_EQ(OpenLibrary("libno-such-library.so").failure, LoadFailure::FileMissing);
    EXPECT_EQ(OpenLibrary("/no/such/dir/libx.so").failure, LoadFailure::FileMissing);
    const LoadResult needs = OpenLibrary(TEST_NEEDS);
    EXPECT_EQ(needs.failure, LoadFailure::DependencyMissing) << needs.detail;
    EXPECT_NE(needs.detail.find("libtarn_test_dependency"), std::string::npos) << needs.detail;

    test::TempDir dir;
    const std::string text = dir / "text.so";
    test::writeFile(text, "not a library");
    EXPECT_EQ(OpenLibrary(text).failure, LoadFailure::Invalid);

    EXPECT_EQ(ClassifyLoadError("/x/a.so", "/x/a.so: wrong ELF class: ELFCLASS32"), LoadFailure::WrongClass);
    EXPECT_EQ(ClassifyLoadError("/x/a.so", "/x/a.so: undefined symbol: foo"), LoadFailure::MissingSymbol);
    // "\" separates folders as "/" does.
    EXPECT_EQ(LibraryPath("C:\\lib\\a.so"), "C:/lib/a.so");
}

class ForeignCall : public ::testing::Test {
protected:
    void SetUp() override {
        lib_ = dlopen(TEST_CALLS, RTLD_NOW);
        ASSERT_NE(lib_, nullptr) << dlerror();
    }
    void TearDown() override { dlclose(lib_); }
    void* Fn(const char* name) { return dlsym(lib_, name); }
    void* lib_ = nullptr;
};

TEST_F(ForeignCall, EveryTypeWord) {
    ForeignResult r;
    ForeignArg word{ForeignType::Word, 0xFFFF, nullptr};
    ASSERT_TRUE(CallForeign(Fn("ct_word"), ForeignType::Word, std::span(&word, 1), &r));
    EXPECT_EQ(r.number, 0);  // 16-bit wrap, zero-extended
    word.number = 41;
    ASSERT_TRUE(CallForeign(Fn("ct_word"), ForeignType::Long, std::span(&word, 1), &r));
    EXPECT_EQ(r.number, 42);

    char text[] = "abc";
    ForeignArg str{ForeignType::LpStr, 0, text};
    ASSERT_TRUE(CallForeign(Fn("ct_lpstr"), ForeignType::LpStr, std::span(&str, 1), &r));
    EXPECT_EQ(r.text, "ABC");
    ASSERT_TRUE(CallForeign(Fn("ct_null_text"), ForeignType::LpStr, {}, &r));
    EXPECT_EQ(r.text, "");

    unsigned char buf[4] = {};
    const std::array<ForeignArg, 2> bin{{{ForeignType::LpBinary, 0, buf}, {ForeignType::Long, 4, nullptr}}};
    ASSERT_TRUE(CallForeign(Fn("ct_binary"), ForeignType::Long, bin, &r));
    EXPECT_EQ(r.number, 10);
    EXPECT_EQ(buf[3], 4);

    const std::array<ForeignArg, 4> mixed{{{ForeignType::Word, 3, nullptr},
                                           {ForeignType::LpStr, 0, text},
                                           {ForeignType::Long, -2, nullptr},
                                           {ForeignType::LpNull, 0, text}}};
    ASSERT_TRUE(CallForeign(Fn("ct_mixed"), ForeignType::Long, mixed, &r));
    EXPECT_EQ(r.number, 3029981);  // lpnull passes null whatever the pointer
}

TEST_F(ForeignCall, FifteenArgumentsInOrderAndNoMore) {
    std::array<ForeignArg, 16> args{};
    for (int i = 0; i < 16; ++i) args[static_cast<std::size_t>(i)] = {ForeignType::Long, i + 1, nullptr};
    ForeignResult r;
    ASSERT_TRUE(CallForeign(Fn("ct_sum15"), ForeignType::Long, std::span(args.data(), 15), &r));
    EXPECT_EQ(r.number, 1240);
    EXPECT_FALSE(CallForeign(Fn("ct_sum15"), ForeignType::Long, args, &r));
    EXPECT_FALSE(CallForeign(Fn("ct_sum15"), ForeignType::LpBinary, {}, &r));
}

TEST(ForeignTypeWords, WithoutRegardToCase) {
    EXPECT_EQ(ParseTypeWord("LpBinary"), ForeignType::LpBinary);
    EXPECT_EQ(ParseTypeWord("VOID"), ForeignType::Void);
    EXPECT_EQ(ParseTypeWord("short"), std::nullopt);
    EXPECT_EQ(ParseTypeWord("lp"), std::nullopt);
}

}  // namespace
}  // namespace tarn::fn
