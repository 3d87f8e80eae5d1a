#include "picture_save.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include "document_files.h"
#include "program_dir.h"

namespace vrayu {
namespace {

using Clock = std::chrono::steady_clock;

std::chrono::milliseconds& Timeout() {
    static std::chrono::milliseconds timeout{30000};
    return timeout;
}

bool IsTemporaryName(const QString& lowerName) {
    for (const char* name : {kGifTemp, kJpegTemp, kBitmapTemp}) {
        if (lowerName == name || lowerName.startsWith(QString(name) + ".")) return true;
    }
    return false;
}

std::optional<QByteArray> BitmapBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (image.isNull() || !image.save(&buffer, "BMP")) return std::nullopt;
    return bytes;
}

bool Start(const char* program, const QStringList& args, const QString& folder) {
    return QProcess::startDetached(ProgramFile(program), args, folder);
}

// Waits until `path` holds a complete picture of `format` and returns its
// bytes; no value when the time-out passes first. Window events are not
// handled meanwhile.
std::optional<QByteArray> WaitForOutput(const QString& path, const QString& format) {
    const Clock::time_point deadline = Clock::now() + ConverterTimeout();
    for (;;) {
        if (const std::optional<QByteArray> bytes = ReadWholeFile(path)) {
            if (PictureBytesComplete(*bytes, format)) return bytes;
        }
        if (Clock::now() > deadline) return std::nullopt;
        QThread::msleep(static_cast<unsigned long>(kConverterPoll.count()));
    }
}

void RemoveAll(std::initializer_list<QString> paths) {
    for (const QString& path : paths) QFile::remove(path);
}

}  // namespace

std::chrono::milliseconds ConverterTimeout() { return Timeout(); }
void SetConverterTimeout(std::chrono::milliseconds timeout) { Timeout() = timeout; }

bool PictureBytesComplete(const QByteArray& b, const QString& format) {
    if (format == "jpg") return b.size() >= 4 && b.startsWith("\xFF\xD8") && b.endsWith("\xFF\xD9");
    if (format == "gif") return b.size() >= 14 && b.startsWith("GIF8") && b.endsWith(';');
    return false;
}

void DeleteStaleTemporaries(const QString& folder) {
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (IsTemporaryName(name.toLower())) QFile::remove(dir.filePath(name));
    }
}

SaveOutcome SavePicture(const QImage& canvas, const QString& fileName, int quality) {
    if (fileName.isEmpty()) return SaveOutcome::EmptyName;
    const QString ext = fileName.right(3).toLower();
    const QString target = QFileInfo(fileName).absoluteFilePath();
    const QString bmpTemp = WritableProgramFile(kBitmapTemp);
    const QString folder = QFileInfo(bmpTemp).absolutePath();
    const QString jpgTemp = folder + "/" + kJpegTemp;
    const QString gifTemp = folder + "/" + kGifTemp;
    DeleteStaleTemporaries(folder);
    if (ext != "bmp" && ext != "jpg" && ext != "gif") return SaveOutcome::NotAPictureName;

    const std::optional<QByteArray> bitmap = BitmapBytes(canvas);
    if (!bitmap) return SaveOutcome::WriteFailed;
    if (ext == "bmp") return WriteFileAtomically(target, *bitmap) ? SaveOutcome::Saved : SaveOutcome::WriteFailed;

    if (!WriteFileAtomically(bmpTemp, *bitmap)) return SaveOutcome::WriteFailed;
    // Lets the window repaint once (no user input) before the wait.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!Start(kEncoderProgram, {"-quality", QString::number(quality), kBitmapTemp}, folder))
        return SaveOutcome::ConverterNotStarted;
    std::optional<QByteArray> picture = WaitForOutput(jpgTemp, "jpg");
    if (!picture) return SaveOutcome::TimedOut;
    if (ext == "gif") {
        if (!Start(kDecoderProgram, {kJpegTemp}, folder)) return SaveOutcome::ConverterNotStarted;
        picture = WaitForOutput(gifTemp, "gif");
        if (!picture) return SaveOutcome::TimedOut;
    }
    if (!WriteFileAtomically(target, *picture)) return SaveOutcome::WriteFailed;
    RemoveAll({gifTemp, jpgTemp, bmpTemp});
    return SaveOutcome::Saved;
}

}  // namespace vrayu
