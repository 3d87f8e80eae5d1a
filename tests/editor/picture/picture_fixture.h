// A main frame (see EditorFixture) whose document windows export pictures,
// with the real converters in its program directory and a short converter
// time-out.
#pragma once

#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include "editor_fixture.h"
#include "picture_canvas.h"
#include "picture_export.h"
#include "picture_save.h"
#include "picture_window.h"

namespace vrayu {

class PictureFixture : public EditorFixture {
protected:
    void SetUp() override {
        EditorFixture::SetUp();
        RegisterPictureExport();
        InstallConverter(VRAYU_CJPEG, "cjpeg");
        InstallConverter(VRAYU_DJPEG, "djpeg");
        SetConverterTimeout(std::chrono::seconds(20));
    }
    void TearDown() override {
        PictureWindow::Unload();
        SetConverterTimeout(std::chrono::seconds(30));
        EditorFixture::TearDown();
    }

public:
    void InstallConverter(const char* built, const char* name) {
        QFile::remove(Path(QString("bin/") + name));
        ASSERT_TRUE(QFile::copy(built, Path(QString("bin/") + name)));
    }
    // Replaces a converter by a shell script with `body`.
    void FakeConverter(const char* name, const QString& body) {
        const QString path = Path(QString("bin/") + name);
        QFile::remove(path);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\n" + body + "\n").toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // Selects `length` characters of the Telugu pane from `start`.
    void Select(int start, int length) {
        Tel().Put(dispid::SelStart, start);
        Tel().Put(dispid::SelLength, length);
    }
    void Export() { Trigger(Doc(), "mnuFileSaveBMP"); }
    PictureWindow& Pic() { return *PictureWindow::Loaded(); }
    // Mean absolute difference per channel of two images of the same size.
    static double MeanDifference(const QImage& a, const QImage& b) {
        const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
        double sum = 0;
        for (int row = 0; row < x.height(); ++row) {
            for (int col = 0; col < x.width(); ++col) {
                const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
                sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
            }
        }
        return sum / (3.0 * x.width() * x.height());
    }
};

}  // namespace vrayu
