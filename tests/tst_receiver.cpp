#include "protocol/cutframe.h"
#include "protocol/receiver.h"

#include <QtTest>
#include <random>

namespace {

// The receive path without any bound: append, then cut until nothing is left.
struct UnboundedReceiver {
    std::string buffer;
    std::vector<protocol::FrameEffect> receive(std::string_view arrival) {
        buffer += arrival;
        std::vector<protocol::FrameEffect> effects;
        for (;;) {
            auto frame = protocol::cutframe("!", "\r", buffer);
            if (frame.empty()) return effects;
            effects.push_back(protocol::decodeFrame(frame));
        }
    }
};

QStringList boxes(const std::vector<protocol::FrameEffect>& effects) {
    QStringList out;
    for (const auto& e : effects)
        out << QString::fromStdString(e.rxbufferbox);
    return out;
}

} // namespace

class TestReceiver : public QObject {
    Q_OBJECT
  private slots:
    void arrivals_data() {
        QTest::addColumn<QStringList>("chunks");
        QTest::addColumn<QStringList>("frames");
        QTest::addColumn<QString>("left");
        QTest::newRow("two frames in one arrival")
            << QStringList{"!0013a\r!0014a\r"} << QStringList{"!0013a[cr]", "!0014a[cr]"} << "";
        QTest::newRow("terminator in next chunk")
            << QStringList{"!0013a", "\r"} << QStringList{"!0013a[cr]"} << "";
        QTest::newRow("split everywhere")
            << QStringList{"!", "0", "0", "1", "3", "a", "\r"} << QStringList{"!0013a[cr]"} << "";
        QTest::newRow("incomplete trailing frame stays")
            << QStringList{"!0013a\r!0010S"} << QStringList{"!0013a[cr]"} << "!0010S";
        QTest::newRow("frame cut short by reset")
            << QStringList{"!0010SW9", "!001A08\r"} << QStringList{"!001A08[cr]"} << "";
        QTest::newRow("garbage dropped at once") << QStringList{"abc\r"} << QStringList{} << "";
        QTest::newRow("garbage before frame")
            << QStringList{"xyz!00!0013a\r"} << QStringList{"!0013a[cr]"} << "";
        QTest::newRow("older start dropped") << QStringList{"!00!0010"} << QStringList{} << "!0010";
        // A CR right after a later "!" ends a frame, so the earlier "!" is kept.
        QTest::newRow("buffer ends in second start")
            << QStringList{"!abc!", "\r"} << QStringList{"![cr]"} << "";
        QTest::newRow("lone start then cr waits")
            << QStringList{"!", "\r"} << QStringList{} << "!\r";
        // The longest frame before its CR, and one past it, whatever the split.
        const QString longest = "!00FE" + QString(protocol::kMaxPendingFrame - 5, '5');
        QTest::newRow("longest, one arrival")
            << QStringList{longest + "\r"} << QStringList{longest + "[cr]"} << "";
        QTest::newRow("longest, cr alone")
            << QStringList{longest, "\r"} << QStringList{longest + "[cr]"} << "";
        QTest::newRow("too long, one arrival")
            << QStringList{longest + "5\r"} << QStringList{} << "";
        QTest::newRow("too long, cr alone")
            << QStringList{longest + "5", "\r"} << QStringList{} << "";
    }
    void arrivals() {
        QFETCH(QStringList, chunks);
        QFETCH(QStringList, frames);
        QFETCH(QString, left);
        protocol::Receiver receiver;
        QStringList seen;
        for (const auto& chunk : chunks)
            seen << boxes(receiver.receive(chunk.toStdString()));
        QCOMPARE(seen, frames);
        QCOMPARE(QString::fromStdString(receiver.rxbuffer()), left);
    }

    // Whatever the split, the bounded receiver decodes exactly what the
    // unbounded cut-and-decode loop decodes.
    void sameAsUnbounded() {
        std::mt19937 random(20261206);
        const char* pieces[] = {"!",      "\r",      "!0010",        "SW90aR1AnP",
                                "!0013a", "!001A08", "!00192500010", "x",
                                "s0",     "?76",     "!0000",        "01530003"};
        for (int round = 0; round < 300; ++round) {
            std::string stream;
            const int count = 1 + int(random() % 60);
            for (int i = 0; i < count; ++i)
                stream += pieces[random() % std::size(pieces)];
            protocol::Receiver bounded;
            UnboundedReceiver reference;
            std::vector<protocol::FrameEffect> got, want;
            for (std::size_t pos = 0; pos < stream.size();) {
                std::size_t n = 1 + random() % 9;
                auto chunk = std::string_view(stream).substr(pos, n);
                for (auto& e : bounded.receive(chunk))
                    got.push_back(e);
                for (auto& e : reference.receive(chunk))
                    want.push_back(e);
                pos += n;
            }
            QVERIFY2(got == want, stream.c_str());
        }
    }

    void garbageNeverGrowsMemory() {
        protocol::Receiver receiver;
        const std::string noise(10000, 'x');
        for (int i = 0; i < 100; ++i)
            QVERIFY(receiver.receive(noise).empty());
        QCOMPARE(receiver.rxbuffer().size(), std::size_t(0));

        // A frame that never ends is given up once it outgrows any real answer.
        QVERIFY(receiver.receive("!0010").empty());
        for (int i = 0; i < 100; ++i) {
            QVERIFY(receiver.receive(std::string(100, 'S')).empty());
            QVERIFY(receiver.rxbuffer().size() <= protocol::kMaxPendingFrame);
        }
        QVERIFY(receiver.receive("\r").empty());
        auto effects = receiver.receive("!0013a\r");
        QCOMPARE(effects.size(), std::size_t(1));
        QCOMPARE(effects[0].append, std::string("[Edge = High-to-Low ]\r\n"));
    }

    // A reset in the middle of a long garbled frame: the new frame survives
    // the old one being given up, whichever arrival its "!" comes in.
    void freshStartSurvivesDroppedFrame_data() {
        QTest::addColumn<QStringList>("chunks");
        const QString stale = "!" + QString(4000, 'a');
        QTest::newRow("start ends an arrival")
            << QStringList{stale, QString(200, 'a') + "!", "0013a\r"};
        QTest::newRow("start alone") << QStringList{stale, QString(200, 'a'), "!", "0013a\r"};
        QTest::newRow("start inside") << QStringList{stale, QString(200, 'a') + "!00", "13a\r"};
    }
    void freshStartSurvivesDroppedFrame() {
        QFETCH(QStringList, chunks);
        protocol::Receiver receiver;
        QStringList seen;
        for (const auto& chunk : chunks)
            seen << boxes(receiver.receive(chunk.toStdString()));
        QCOMPARE(seen, QStringList{"!0013a[cr]"});
        QVERIFY(receiver.rxbuffer().empty());
    }
};

QTEST_APPLESS_MAIN(TestReceiver)
#include "tst_receiver.moc"
