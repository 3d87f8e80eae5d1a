// A main frame with its own settings, registry store, program directory,
// XDG folders, scripted dialogs and a PATH whose first folder holds recording
// stand-ins for xdg-open and fc-cache.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QAction>
#include <QCoreApplication>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <memory>

#include "action_set.h"
#include "app_info.h"
#include "dialogs.h"
#include "document_window.h"
#include "fake_tel1.h"
#include "main_frame.h"
#include "program_dir.h"
#include "scripted_dialogs.h"

// Readable failure messages for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace vrayu {

class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        for (const char* sub : {"bin", "fakebin", "config", "cache", "data", "state", "registry", "docs"})
            QDir().mkpath(tmp.filePath(sub));
        SaveEnv("XDG_CONFIG_HOME", tmp.filePath("config"));
        SaveEnv("XDG_CACHE_HOME", tmp.filePath("cache"));
        SaveEnv("XDG_DATA_HOME", tmp.filePath("data"));
        SaveEnv("XDG_STATE_HOME", tmp.filePath("state"));
        SaveEnv("VRAYU_REGISTRY_DIR", tmp.filePath("registry"));
        SaveEnv("PATH", tmp.filePath("fakebin") + ":" + qEnvironmentVariable("PATH"));
        // Each stand-in appends its name and arguments, one per line, to a log.
        for (const char* tool : {"xdg-open", "fc-cache"}) WriteRecorder(tmp.filePath("fakebin/") + tool, tool);
        SetProgramDirectory(tmp.filePath("bin"));
        SetDialogs(&dialogs);
        SetTel1Factory([](QWidget* parent) { return std::make_unique<FakeTel1>(parent); });
        settings = std::make_unique<QSettings>(tmp.filePath("config/VrayuEditor.ini"), QSettings::IniFormat);
    }

    void TearDown() override {
        frame.reset();
        SetTel1Factory({});
        SetDialogs(nullptr);
        SetProgramDirectory("");
        for (const auto& [name, value] : savedEnv) {
            if (value.isNull()) qunsetenv(name.constData());
            else qputenv(name.constData(), value);
        }
    }

public:
    MainFrame& Frame() {
        if (!frame) {
            frame = std::make_unique<MainFrame>(*settings);
            frame->Load();
            frame->show();
            QFile::remove(tmp.filePath("calls.log"));  // start-up's own fc-cache run
        }
        return *frame;
    }
    DocumentWindow& Doc() { return *Frame().ActiveDocument(); }
    FakeTel1& Tel(DocumentWindow& d) { return static_cast<FakeTel1&>(*d.Control()); }
    FakeTel1& Tel() { return Tel(Doc()); }
    void Trigger(DocumentWindow& d, const char* id) { d.Actions().Action(id)->trigger(); }

    QString Path(const QString& name) const { return tmp.filePath(name); }
    QByteArray Bytes(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // A script that appends "name arg1 arg2 ..." lines to <tmp>/calls.log.
    void WriteRecorder(const QString& path, const QString& name, const QString& extra = {}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("#!/bin/sh\n" + extra + "printf '%s' '" + name + "' >> '" + tmp.filePath("calls.log") +
                 "'\nfor a in \"$@\"; do printf ' [%s]' \"$a\" >> '" + tmp.filePath("calls.log") +
                 "'; done\necho >> '" + tmp.filePath("calls.log") + "'\n")
                    .toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    // The recorded calls, waiting up to five seconds for `expected` lines
    // (detached programs finish on their own time).
    QStringList Calls(int expected = 1) {
        QElapsedTimer t;
        t.start();
        QStringList lines;
        do {
            // Only whole lines count: a recorder writes its line in pieces.
            QByteArray log = Bytes(tmp.filePath("calls.log"));
            log.truncate(log.lastIndexOf('\n') + 1);
            lines = QString::fromUtf8(log).split('\n', Qt::SkipEmptyParts);
            if (lines.size() >= expected) break;
            QThread::msleep(20);
        } while (t.elapsed() < 5000);
        return lines;
    }
    QString LastPrompt() const { return dialogs.Questions().empty() ? QString() : dialogs.Questions().back().prompt; }

    QTemporaryDir tmp;
    ScriptedDialogs dialogs;
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<MainFrame> frame;

private:
    void SaveEnv(const char* name, const QString& value) {
        savedEnv.emplace_back(name, qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray());
        qputenv(name, value.toUtf8());
    }
    std::vector<std::pair<QByteArray, QByteArray>> savedEnv;
};

}  // namespace vrayu
