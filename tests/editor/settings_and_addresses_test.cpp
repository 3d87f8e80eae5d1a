#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <unistd.h>

#include "app_info.h"
#include "frame_settings.h"
#include "program_dir.h"
#include "update_check.h"

namespace vrayu {
namespace {

TEST(FrameSettings, DefaultsRoundTripAndUnreadableValues) {
    QTemporaryDir dir;
    QSettings settings(dir.filePath("s.ini"), QSettings::IniFormat);
    FrameTwips first = ReadFrameSettings(settings);
    EXPECT_EQ(first.left, 1000);
    EXPECT_EQ(first.top, 1000);
    EXPECT_EQ(first.width, 6500);
    EXPECT_EQ(first.height, 6500);

    WriteFrameSettings(settings, {15, 30.5f, 7200, 4410});
    QSettings reread(dir.filePath("s.ini"), QSettings::IniFormat);
    const FrameTwips back = ReadFrameSettings(reread);
    EXPECT_EQ(back.left, 15);
    EXPECT_EQ(back.top, 30.5f);
    EXPECT_EQ(back.width, 7200);
    EXPECT_EQ(back.height, 4410);
    // Stored as decimal text in section "Settings".
    QFile ini(dir.filePath("s.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray text = ini.readAll();
    EXPECT_TRUE(text.contains("[Settings]")) << text.toStdString();
    EXPECT_TRUE(text.contains("MainTop=30.5")) << text.toStdString();

    reread.setValue("Settings/MainWidth", "wide");
    reread.setValue("Settings/MainLeft", "");
    const FrameTwips bad = ReadFrameSettings(reread);
    EXPECT_EQ(bad.width, 6500);
    EXPECT_EQ(bad.left, 1000);
    EXPECT_EQ(bad.height, 4410);
}

TEST(UpdateCheck, AddressCarriesVersionNameAndFontVersion) {
    EXPECT_EQ(UpdateCheckAddress("http://site/", {4, 0, 2}, "VE"),
              "http://site/checkupdates.asp?major=4&minor=0&revision=2&exename=VE"
              "&glyfafontmajor=4&glyfafontminor=2");
    EXPECT_EQ(UpdateCheckAddress("", {12, 34, 567}, "/opt/x/VE.exe"),
              "checkupdates.asp?major=12&minor=34&revision=567&exename=VE&glyfafontmajor=4&glyfafontminor=2");
    EXPECT_EQ(ExecutableBaseName("/work/build/bin/VrayuEditor"), "VrayuEditor");
    EXPECT_EQ(ExecutableBaseName(".hidden"), ".hidden");
}

TEST(AppInfo, AboutAndWelcomeTexts) {
    const QStringList about = AboutText({4, 0, 2}).split("\r\n");
    ASSERT_GE(about.size(), 5);
    EXPECT_EQ(about[0], "Version 4.0.2");
    EXPECT_EQ(about[1], "Vrayu is designed to assist in transliterating from English to Telugu.");
    EXPECT_EQ(about[2], "This software follows RIT standards for transliteration.");
    EXPECT_EQ(about[3], "It allows you to use Vrayu Fonts to write in Telugu.");
    const QStringList welcome = WelcomeText({4, 0, 2}).split("\r\n");
    ASSERT_EQ(welcome.size(), 5);
    EXPECT_EQ(welcome[0], "svAgatam          vrayu 4.0.2");
    EXPECT_EQ(welcome[1], "viy hOp yu vil laik dis prOgrAm.");
    EXPECT_EQ(welcome[2], "mee salahAlu ellappuDU svaagatam.");
    EXPECT_EQ(welcome[3], "");
}

TEST(ProgramDir, WritableFilesFallBackToTheCache) {
    QTemporaryDir dir;
    SetProgramDirectory(dir.path());
    EXPECT_EQ(ProgramFile("VrayuHelp.htm"), dir.path() + "/VrayuHelp.htm");
    EXPECT_EQ(WritableProgramFile("temp.htm"), dir.path() + "/temp.htm");

    const QByteArray oldCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", dir.filePath("cache").toUtf8());
    SetProgramDirectory(dir.filePath("not-there"));
    EXPECT_EQ(WritableProgramFile("temp.htm"), dir.filePath("cache") + "/vrayu/temp.htm");
    EXPECT_TRUE(QDir(dir.filePath("cache/vrayu")).exists());
    EXPECT_EQ((QFile::permissions(dir.filePath("cache/vrayu")) & 0x0077).toInt(), 0);  // no group or other bits
    EXPECT_EQ(ProgramFile("glyfa.ttf"), dir.filePath("not-there") + "/glyfa.ttf");
    if (::geteuid() == 0) {
        // A cache folder another user owns is not written to.
        qputenv("XDG_CACHE_HOME", dir.filePath("theirs").toUtf8());
        ASSERT_TRUE(QDir().mkpath(dir.filePath("theirs/vrayu")));
        ASSERT_EQ(::chown(QFile::encodeName(dir.filePath("theirs/vrayu")).constData(), 65534, 65534), 0);
        EXPECT_EQ(WritableProgramFile("temp.htm"), "");
    }
    qputenv("XDG_CACHE_HOME", oldCache);
    SetProgramDirectory("");
}

}  // namespace
}  // namespace vrayu
