// The web page import against a small HTTP server on 127.0.0.1 run by the test.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

#include "convert.h"
#include "scripted_dialogs.h"
#include "transliterate.h"
#include "web_fetch.h"
#include "web_import.h"

using namespace vrayu;

namespace {

// Serves a few fixed pages; "/silent" accepts and never answers; "/endless"
// streams 256 MiB without announcing a length; "/announced" announces 1 GiB.
class PageServer : public QObject {
public:
    PageServer() {
        server_.listen(QHostAddress::LocalHost);
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] { Serve(s); });
            }
        });
    }
    QString Url(const char* path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server_.serverPort()).arg(path);
    }
    QStringList requested;
    qint64 streamed = 0;  // bytes of "/endless" handed to the socket

private:
    void Serve(QTcpSocket* s) {
        buffer_[s] += s->readAll();
        if (!buffer_[s].contains("\r\n\r\n")) return;
        const QByteArray path = buffer_[s].split(' ').value(1);
        requested << QString::fromLatin1(path);
        if (path == "/silent") return;
        if (path == "/endless") return Stream(s);
        if (path == "/announced") {
            s->write("HTTP/1.0 200 OK\r\nContent-Length: 1073741824\r\n\r\n" + QByteArray(1000, 'a'));
            return;
        }
        QByteArray status = "200 OK", body;
        if (path == "/amma.htm") {
            body =
                "<html><head><title>t</title></head>\n<body><p><!--ENGLISH-->Hello<!--ENGLISH--> lO amma</p>\n"
                "<p>x a < b y> z</p></body></html>";
        } else {
            status = "404 Not Found";
            body = "<html><head><title>404 Not Found</title></head><body><h1>404 Not Found</h1></body></html>";
        }
        s->write("HTTP/1.0 " + status + "\r\nContent-Type: text/html\r\nContent-Length: " +
                 QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        s->disconnectFromHost();
    }
    // Writes the next chunk whenever the socket has taken the last one, until
    // 256 MiB are out or the client has gone.
    void Stream(QTcpSocket* s) {
        s->write("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n");
        auto more = [this, s] {
            if (s->state() != QAbstractSocket::ConnectedState || s->bytesToWrite() > (1 << 16)) return;
            if (streamed >= (qint64(256) << 20)) return s->disconnectFromHost();
            streamed += s->write(QByteArray(1 << 16, 'x'));
        };
        connect(s, &QTcpSocket::bytesWritten, this, more);
        more();
    }
    QTcpServer server_;
    QHash<QTcpSocket*, QByteArray> buffer_;
};

QString Converted(const QString& english) {
    GlyphTables tables;
    std::string face;
    SelectGlyphTables("Vrayu", tables, face);
    const std::string text = english.toLatin1().toStdString();
    return QString::fromLatin1(ConvertEnglishPane(text, 0, tables, face).text);
}

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogs(&dialogs_);
        control_ = std::make_unique<Transliterate>();
        control_->resize(640, 480);
        control_->show();
    }
    void TearDown() override {
        control_.reset();
        SetDialogs(nullptr);
    }
    ScriptedDialogs dialogs_;
    PageServer server_;
    std::unique_ptr<Transliterate> control_;
};

TEST_F(ImportTest, PageWithEnglishMarksIsConvertedAndShownInTelugu) {
    control_->SetURL(server_.Url("/amma.htm"));
    const QString english = "#Hello# lO amma\r\nx a  z";
    EXPECT_EQ(control_->EnglishPane().Text(), english);
    EXPECT_EQ(control_->TeluguPane().Text(), Converted(english));
    EXPECT_EQ(control_->View(), ViewMode::Telugu);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the wait cursor is gone
}

TEST_F(ImportTest, NotFoundPageShowsTheEnglishPaneOnly) {
    control_->findChild<QLineEdit*>("txtURL")->setText(server_.Url("/nothing.htm"));
    QTest::mouseClick(control_->findChild<QPushButton*>("cmdGO"), Qt::LeftButton);
    EXPECT_EQ(control_->EnglishPane().Text(), "404 Not Found");
    EXPECT_EQ(control_->View(), ViewMode::English);
}

TEST_F(ImportTest, TitleAndAddressFetchesOnlyTheAddress) {
    auto* url = control_->findChild<QLineEdit*>("txtURL");
    url->setText("Amma - " + server_.Url("/amma.htm"));
    QTest::keyClick(url, Qt::Key_Return);
    ASSERT_EQ(server_.requested, QStringList{"/amma.htm"});
    EXPECT_EQ(control_->View(), ViewMode::Telugu);
    // A title with nothing after " - " fetches nothing.
    control_->SetURL("Amma - ");
    EXPECT_EQ(server_.requested.size(), 1);
}

TEST_F(ImportTest, SilentServerEndsByTimeOutWithNothingLost) {
    control_->Fetcher().SetTimeout(300);
    control_->EnglishPane().SetText("nA pATa");
    QCoreApplication::processEvents();  // its conversion
    const QString telugu = control_->TeluguPane().Text();
    QElapsedTimer clock;
    clock.start();
    control_->SetURL(server_.Url("/silent"));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(server_.requested, QStringList{"/silent"});
    EXPECT_EQ(control_->EnglishPane().Text(), "nA pATa");
    EXPECT_EQ(control_->TeluguPane().Text(), telugu);
    EXPECT_EQ(control_->View(), ViewMode::Both);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ImportTest, OversizedPageIsStoppedAndReportedWithTheEnglishPaneKept) {
    control_->Fetcher().SetMaxBytes(1 << 20);
    control_->EnglishPane().SetText("nA pATa");
    dialogs_.QueueMsgBox(kOK);
    const std::size_t asked = dialogs_.Questions().size();
    control_->SetURL(server_.Url("/endless"));
    EXPECT_EQ(control_->EnglishPane().Text(), "nA pATa");
    EXPECT_LT(server_.streamed, qint64(64) << 20);  // the transfer was stopped early
    ASSERT_EQ(dialogs_.Questions().size(), asked + 1);
    EXPECT_EQ(dialogs_.Questions().back().prompt, "The page is larger than 1 MB and was not imported.");
    // A length announced beyond the limit is refused before the body comes.
    const auto announced = control_->Fetcher().Get(QUrl(server_.Url("/announced")));
    EXPECT_EQ(announced.outcome, WebFetch::Outcome::TooLarge);
    EXPECT_TRUE(announced.body.isEmpty());
    // A page of exactly the limit is taken, one byte more is not.
    WebFetch& fetch = control_->Fetcher();
    const qint64 size = fetch.Get(QUrl(server_.Url("/amma.htm"))).body.size();
    fetch.SetMaxBytes(size);
    EXPECT_EQ(fetch.Get(QUrl(server_.Url("/amma.htm"))).body.size(), size);
    fetch.SetMaxBytes(size - 1);
    EXPECT_EQ(fetch.Get(QUrl(server_.Url("/amma.htm"))).outcome, WebFetch::Outcome::TooLarge);
}

TEST_F(ImportTest, FetchOutcomes) {
    WebFetch fetch;
    fetch.SetTimeout(300);
    EXPECT_EQ(fetch.Get(QUrl(server_.Url("/amma.htm"))).outcome, WebFetch::Outcome::Ok);
    const auto missing = fetch.Get(QUrl(server_.Url("/x")));
    EXPECT_EQ(missing.outcome, WebFetch::Outcome::Ok);
    EXPECT_EQ(missing.httpStatus, 404);
    EXPECT_EQ(fetch.Get(QUrl(server_.Url("/silent"))).outcome, WebFetch::Outcome::TimedOut);
    EXPECT_FALSE(fetch.StillExecuting());
    // Cancelled while waiting (as Escape does).
    fetch.SetTimeout(10000);
    QTimer::singleShot(100, &fetch, [&fetch] {
        EXPECT_TRUE(fetch.StillExecuting());
        fetch.Cancel();
    });
    EXPECT_EQ(fetch.Get(QUrl(server_.Url("/silent"))).outcome, WebFetch::Outcome::Cancelled);
    // Escape cancels; other keys are held back while the transfer runs.
    QLineEdit box;
    box.show();
    QTimer::singleShot(100, &box, [&box] {
        QTest::keyClicks(&box, "ab");
        QTest::keyClick(&box, Qt::Key_Escape);
    });
    EXPECT_EQ(fetch.Get(QUrl(server_.Url("/silent"))).outcome, WebFetch::Outcome::Cancelled);
    EXPECT_EQ(box.text(), "");
    // Nobody listening.
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost);
    const quint16 port = closed.serverPort();
    closed.close();
    EXPECT_EQ(fetch.Get(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port))).outcome, WebFetch::Outcome::Failed);
}

TEST(ImportRules, AddressOfAnEntry) {
    const struct {
        const char* entry;
        const char* address;  // null: nothing fetched
    } cases[] = {
        {"http://a.org/x.htm", "http://a.org/x.htm"},
        {"HTTP://A.org/x.htm", "HTTP://A.org/x.htm"},
        {"Amma - http://a.org/amma.htm", "http://a.org/amma.htm"},
        {"Amma - Telugu - http://a.org/", "Telugu - http://a.org/"},
        {"Amma - ", nullptr},
        {"https://a.org/", nullptr},
        {"ftp://a.org/", nullptr},
        {"a.org/x.htm", nullptr},
        {"", nullptr},
    };
    for (const auto& c : cases) {
        const auto address = ImportAddress(QString::fromLatin1(c.entry));
        if (c.address) EXPECT_EQ(address, std::optional<QString>(QString::fromLatin1(c.address))) << c.entry;
        else EXPECT_FALSE(address.has_value()) << c.entry;
    }
    EXPECT_EQ(RewriteLineFeeds("a\nb\r\nc"), "a\r\nb\r\r\nc");
    EXPECT_EQ(EnglishFromPage("<body><!--ENGLISH-->Hello<!--ENGLISH-->lO</body>"), "#Hello#lO");
}

}  // namespace
