// The converters as programs: their command line, working directory, whole
// output files only, the GIF palette, and bad input.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString stderrText;
};

class ConvertersTest : public ::testing::Test {
protected:
    ProgramRun Convert(const char* program, const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(program, args);
        EXPECT_TRUE(p.waitForFinished(20000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardError())};
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
    QString Path(const char* name) const { return dir.filePath(name); }
    void Write(const char* name, const QByteArray& bytes) {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // A grey ramp from black to white, left to right, with a red stripe.
    static QImage Ramp() {
        QImage image(256, 40, QImage::Format_RGB32);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, y < 8 ? qRgb(220, 30, 30) : qRgb(x, x, x));
        return image;
    }
    QTemporaryDir dir;
};

TEST_F(ConvertersTest, EncoderAndDecoderHonourTheExchangeFiles) {
    ASSERT_TRUE(Ramp().save(Path("tmp1000.bmp")));
    ProgramRun run = Convert(VRAYU_CJPEG, {"-quality", "95", "tmp1000.bmp"});
    EXPECT_EQ(run.exitCode, 0) << run.stderrText.toStdString();
    EXPECT_EQ(Files(), QStringList({"tmp1000.bmp", "tmp1000.jpg"}));
    const QImage jpeg(Path("tmp1000.jpg"));
    ASSERT_EQ(jpeg.size(), QSize(256, 40));
    EXPECT_EQ(QFileInfo(Path("tmp1000.jpg")).permissions() & QFile::ReadOther, QFile::ReadOther);
    const qint64 best = QFileInfo(Path("tmp1000.jpg")).size();
    // Quality counts: 5 % is much smaller; 0 is taken as the lowest.
    EXPECT_EQ(Convert(VRAYU_CJPEG, {"-quality", "5", "tmp1000.bmp"}).exitCode, 0);
    EXPECT_LT(QFileInfo(Path("tmp1000.jpg")).size(), best);
    EXPECT_EQ(Convert(VRAYU_CJPEG, {"-quality", "0", "tmp1000.bmp"}).exitCode, 0);
    EXPECT_EQ(Convert(VRAYU_CJPEG, {"-quality", "95", "tmp1000.bmp"}).exitCode, 0);

    run = Convert(VRAYU_DJPEG, {"tmp1000.jpg"});
    EXPECT_EQ(run.exitCode, 0) << run.stderrText.toStdString();
    EXPECT_EQ(Files(), QStringList({"tmp1000.bmp", "tmp1000.gif", "tmp1000.jpg"}));
    const QImage gif(Path("tmp1000.gif"));
    ASSERT_EQ(gif.size(), QSize(256, 40));
    QSet<QRgb> used;
    for (int y = 0; y < gif.height(); ++y)
        for (int x = 0; x < gif.width(); ++x) used.insert(gif.pixel(x, y));
    EXPECT_LE(used.size(), 256);
    // A real palette: the ramp keeps many shades, each near its place (no bands),
    // and the red stripe stays red.
    QSet<QRgb> greys;
    int worst = 0;
    for (int x = 0; x < 256; ++x) {
        const QRgb p = gif.pixel(x, 30);
        greys.insert(p);
        worst = std::max(worst, std::abs(qGray(p) - x));
    }
    EXPECT_GT(greys.size(), 64);
    EXPECT_LT(worst, 24);
    EXPECT_GT(qRed(gif.pixel(100, 3)), 180);
    EXPECT_LT(qGreen(gif.pixel(100, 3)), 80);
}

TEST_F(ConvertersTest, BadInputGivesAMessageAnExitStatusAndNoFile) {
    Write("tmp1000.bmp", "BM this is not a bitmap at all");
    ProgramRun run = Convert(VRAYU_CJPEG, {"-quality", "90", "tmp1000.bmp"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.stderrText.startsWith("cjpeg: tmp1000.bmp:")) << run.stderrText.toStdString();

    QImage small(10, 10, QImage::Format_RGB32);
    small.fill(Qt::blue);
    ASSERT_TRUE(small.save(Path("whole.jpg"), "JPEG"));
    QFile whole(Path("whole.jpg"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    // Cut inside the picture data: the decoder must not fill in the rest.
    Write("tmp1000.jpg", bytes.left(bytes.size() - 20));
    run = Convert(VRAYU_DJPEG, {"tmp1000.jpg"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(run.stderrText.startsWith("djpeg: tmp1000.jpg:")) << run.stderrText.toStdString();

    run = Convert(VRAYU_DJPEG, {"missing.jpg"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_EQ(run.stderrText, "djpeg: cannot read missing.jpg\n");
    EXPECT_EQ(Convert(VRAYU_CJPEG, {"-quality", "high", "tmp1000.bmp"}).exitCode, 2);
    EXPECT_EQ(Convert(VRAYU_CJPEG, {}).exitCode, 2);
    EXPECT_EQ(Convert(VRAYU_DJPEG, {"-quality", "5", "tmp1000.jpg"}).exitCode, 2);
    // Nothing was written, not even a partial file.
    EXPECT_EQ(Files(), QStringList({"tmp1000.bmp", "tmp1000.jpg", "whole.jpg"}));
}

}  // namespace
