// Export of a 20-line Telugu selection onto the picture canvas, and saving a
// 1000 x 600 canvas as BMP, JPEG and GIF (the latter two through the
// converters beside this program). Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bin/picture_bench
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "convert.h"
#include "dialogs.h"
#include "document_window.h"
#include "fake_tel1.h"
#include "glyph_tables.h"
#include "main_frame.h"
#include "picture_canvas.h"
#include "picture_units.h"
#include "picture_export.h"
#include "picture_window.h"
#include "romanized_prose.h"
#include "scripted_dialogs.h"

using namespace vrayu;

namespace {

// Twenty lines of Telugu glyph codes.
QString TwentyLines() {
    GlyphTables tables;
    LoadVrayuTables(tables);
    QStringList lines;
    const std::string prose = bench::RomanizedProse(4000);
    size_t at = 0;
    while (lines.size() < 20) {
        const std::string line = prose.substr(at, 60);
        at += 60;
        lines << QString::fromLatin1(ConvertEnglishPane(line, 0, tables, kVrayuFace).text).simplified();
    }
    return lines.join("\r\n");
}

void ExportTwentyLineSelection(benchmark::State& state) {
    QTemporaryDir home;
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "VRAYU_REGISTRY_DIR"})
        qputenv(var, home.filePath(var).toUtf8());
    ScriptedDialogs dialogs;
    SetDialogs(&dialogs);
    SetTel1Factory([](QWidget* parent) { return std::make_unique<FakeTel1>(parent); });
    RegisterPictureExport();
    QSettings settings(home.filePath("settings.ini"), QSettings::IniFormat);
    {
        MainFrame frame(settings);
        frame.Load();
        DocumentWindow& doc = *frame.ActiveDocument();
        doc.Control()->SetTextTelugu(TwentyLines());
        for (auto _ : state) ExportPicture(doc);
        const QImage& canvas = PictureWindow::Instance().Picture1().Image();
        state.SetLabel(std::to_string(canvas.width()) + "x" + std::to_string(canvas.height()) + " px");
        PictureWindow::Unload();
    }
    SetTel1Factory({});
    SetDialogs(nullptr);
}
BENCHMARK(ExportTwentyLineSelection)->Unit(benchmark::kMillisecond);

// Saves a 1000 x 600 canvas of text to a file of the format `ext`.
void SaveCanvas(benchmark::State& state, const char* ext) {
    ScriptedDialogs dialogs;
    SetDialogs(&dialogs);
    QTemporaryDir out;
    PictureWindow& w = PictureWindow::Instance();
    w.Picture1().SetCanvasFont(QFont("DejaVu Sans", 16));
    w.SetSourceText(TwentyLines().left(2000));
    // Field units for 1000 x 600 pixels at 15 twips a pixel.
    w.txtWidth().setText(DecimalText(1000 * PictureCanvas::TwipsPerPixel() / 14.4));
    w.txtHeight().setText(DecimalText(600 * PictureCanvas::TwipsPerPixel() / 14.4));
    w.SetPictureQuality(90);
    const QString target = out.filePath(QString("canvas.") + ext);
    bool saved = true;
    for (auto _ : state) saved &= w.SaveAsJPG(target);
    state.SetLabel(std::to_string(w.Picture1().Image().width()) + "x" + std::to_string(w.Picture1().Image().height()) +
                   " px, " + std::to_string(QFileInfo(target).size() / 1024) + " KiB" + (saved ? "" : ", FAILED"));
    PictureWindow::Unload();
    SetDialogs(nullptr);
}
BENCHMARK_CAPTURE(SaveCanvas, bmp, "bmp")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SaveCanvas, jpg, "jpg")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SaveCanvas, gif, "gif")->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
